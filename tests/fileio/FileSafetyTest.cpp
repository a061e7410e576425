#include "FileSafetyCases.h"
#include "fileio/ByteStreams.h"
#include "fileio/IoFaults.h"

#include <cerrno>
#include <cstdint>
#include <fstream>
#include <set>
#include <utility>

namespace filesafety {

namespace {

std::string Binary(std::size_t size)
{
    return std::string(size, 'A');
}

std::string TextArray(std::size_t size)
{
    std::string text;
    while (text.size() < size)
        text += "0x41,";
    return text;
}

std::string CSource(std::size_t size)
{
    return "unsigned char a[] = {" + TextArray(size) + "};";
}

} // namespace

const std::vector<CConversion>& Conversions()
{
    static const std::vector<CConversion> conversions = {
        {"BinToText", &CArrayCodec::BinToText, Binary, "AB", "0x41,0x42,"},
        {"TextToBin", &CArrayCodec::TextToBin, TextArray, "0x41,0x42,", "AB"},
        {"InvertText", &CArrayCodec::InvertText, TextArray, "0x41,0x42,", "0xBE,0xBD,"},
        {"CSourceToBin", &CArrayCodec::CSourceToBin, CSource, "unsigned char a[] = {0x41, 0x42};", "AB"},
    };
    return conversions;
}

const std::vector<CInjectedFailure>& InjectedFailures()
{
    static const std::vector<CInjectedFailure> failures = {
        {"ReadErrorAtTheThirdRead", [](CArrayCodec&) { FailNthRead(3, EIO); }, EOutcome::Failed,
            EFailure::CannotReadSource, ENamed::Source, EIO, "cannot read source file"},
        {"WriteError", [](CArrayCodec&) { FailNthWrite(1, ENOSPC); }, EOutcome::Failed, EFailure::CannotWriteDest,
            ENamed::Dest, ENOSPC, "cannot write destination file"},
        {"CancelledAtTheSecondChunk",
            [](CArrayCodec& codec) { codec.SetProgress([](std::uint64_t read) { return read <= kChunkSize; }); },
            EOutcome::Cancelled, EFailure::None, ENamed::None, 0, ""},
    };
    return failures;
}

std::string PathOfLength(const CTempDir& dir, std::size_t length)
{
    std::filesystem::path folder = dir.Root();
    for (char level = 'a'; folder.string().size() + 101 + 8 < length; ++level)
        folder /= std::string(100, level);
    folder /= std::string(length - folder.string().size() - 1 - 7, 'z');   // then "/in.bin"
    std::filesystem::create_directories(folder);
    return (folder / "in.bin").string();
}

namespace {

std::set<std::string> Names(const CTempDir& dir)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Root()))
        names.insert(entry.path().filename().string());
    return names;
}

std::filesystem::perms Mode(const std::string& path)
{
    return std::filesystem::status(path).permissions() & std::filesystem::perms::mask;
}

// Sets up the destination of the kind beside dir's "source".
CDestination SetUpDestination(const CTempDir& dir, const CDestinationKind& kind)
{
    const CDestination dest = kind.setUp(dir);
    if (kind.mode)
        std::filesystem::permissions(dest.written, *kind.mode);
    return dest;
}

// The failure and what it leaves: the old destination, its mode and its
// link, and no other file.
TEST_P(FileSafetyFailure, LeavesTheOldDestinationAndNothingElse)
{
    const auto& [conversion, failure, kind] = GetParam();
    CTempDir dir;
    const std::string source = dir.Write("source", conversion.source(3 * kChunkSize + 17));
    const CDestination dest = SetUpDestination(dir, kind);
    const bool existed = std::filesystem::exists(dest.written);
    const std::set<std::string> before = Names(dir);
    CArrayCodec codec;
    codec.SetSourcePath(source);
    codec.SetDestPath(dest.given);
    failure.inject(codec);
    const CConversionResult result = conversion.Run(codec);
    FailNthRead(0, 0);
    FailNthWrite(0, 0);
    const std::string named[] = {"", source, dest.given};
    EXPECT_EQ(result.outcome, failure.outcome);
    EXPECT_EQ(result.failure, failure.failure);
    EXPECT_EQ(result.path, named[static_cast<int>(failure.named)]);
    EXPECT_EQ(result.errorNumber, failure.errorNumber);
    EXPECT_EQ(result.message.rfind(failure.reason, 0), 0u) << result.message;
    EXPECT_EQ(Names(dir), before);
    if (existed) {
        EXPECT_EQ(CTempDir::Read(dest.written), kKeep);
    }
    if (kind.mode) {
        EXPECT_EQ(Mode(dest.written), *kind.mode);
    }
    EXPECT_EQ(std::filesystem::is_symlink(dest.given), dest.given != dest.written);
}

TEST_P(FileSafetyDestination, ASuccessReplacesItKeepingItsModeAndLinks)
{
    const auto& [conversion, kind] = GetParam();
    CTempDir dir;
    const std::string source = dir.Write("source", conversion.sample);
    const CDestination dest = SetUpDestination(dir, kind);
    std::set<std::string> expected = Names(dir);
    expected.insert("dest");
    CArrayCodec codec;
    codec.SetSourcePath(source);
    codec.SetDestPath(dest.given);
    const CConversionResult result = conversion.Run(codec);
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(CTempDir::Read(dest.written), conversion.converted);
    if (kind.mode) {
        EXPECT_EQ(Mode(dest.written), *kind.mode);
    }
    EXPECT_EQ(std::filesystem::is_symlink(dest.given), dest.given != dest.written);
    EXPECT_EQ(Names(dir), expected);
}

const CDestinationKind kDestinations[] = {
    {"Existing", [](const CTempDir& dir) { return CDestination{dir.Write("dest", kKeep), dir.Path("dest")}; },
        std::nullopt},
    {"New", [](const CTempDir& dir) { return CDestination{dir.Path("dest"), dir.Path("dest")}; }, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Everywhere, FileSafetyFailure,
    testing::Combine(
        testing::ValuesIn(Conversions()), testing::ValuesIn(InjectedFailures()), testing::ValuesIn(kDestinations)),
    CCaseName());

INSTANTIATE_TEST_SUITE_P(Everywhere, FileSafetyDestination,
    testing::Combine(testing::ValuesIn(Conversions()), testing::ValuesIn(kDestinations)), CCaseName());

TEST_P(FileSafetySameFile, IsRefusedAndKeepsItsContent)
{
    const auto& [conversion, otherName] = GetParam();
    CTempDir dir;
    const std::string original = dir.Write("data.txt", kKeep);
    std::filesystem::create_directory(dir.Path("sub"));
    const std::string dest = otherName.make(dir);
    CArrayCodec codec;
    codec.SetSourcePath(original);
    codec.SetDestPath(dest);
    const CConversionResult result = conversion.Run(codec);
    EXPECT_EQ(result.outcome, EOutcome::Failed);
    EXPECT_EQ(CTempDir::Read(original), kKeep);
    EXPECT_EQ(result.failure, EFailure::SameFile) << result.message;
    EXPECT_EQ(result.path, dest);
    EXPECT_EQ(result.errorNumber, 0);
    EXPECT_EQ(result.message, "source and destination are the same file '" + dest + "'");
}

const COtherName kOtherNames[] = {
    {"Itself", [](const CTempDir& dir) { return dir.Path("data.txt"); }},
    {"ThroughAFolderAndBack", [](const CTempDir& dir) { return dir.Path("sub/../data.txt"); }},
    {"FromTheCurrentFolder", [](const CTempDir& dir) { return dir.Path("./data.txt"); }},
    {"AHardLink",
        [](const CTempDir& dir) {
            std::filesystem::create_hard_link(dir.Path("data.txt"), dir.Path("hard.txt"));
            return dir.Path("hard.txt");
        }},
};

INSTANTIATE_TEST_SUITE_P(Everywhere, FileSafetySameFile,
    testing::Combine(testing::ValuesIn(Conversions()), testing::ValuesIn(kOtherNames)), CCaseName());

// A source that changes while it is read gives a mix of two versions: a failure.
TEST_P(FileSafetySourceChange, IsAFailureThatKeepsTheDestination)
{
    const auto& [conversion, change] = GetParam();
    CTempDir dir;
    const std::string source = dir.Write("source", conversion.source(3 * kChunkSize + 17));
    const std::string dest = dir.Write("dest", kKeep);
    CArrayCodec codec;
    codec.SetSourcePath(source);
    codec.SetDestPath(dest);
    bool changed = false;
    codec.SetProgress([&](std::uint64_t) {
        if (!std::exchange(changed, true))
            change.change(dir, source);
        return true;
    });
    const CConversionResult result = conversion.Run(codec);
    EXPECT_EQ(result.outcome, EOutcome::Failed);
    EXPECT_EQ(result.failure, EFailure::SourceChanged);
    EXPECT_EQ(result.path, source);
    EXPECT_EQ(result.errorNumber, 0);
    EXPECT_EQ(result.message, "source file '" + source + "' changed while it was read");
    EXPECT_EQ(CTempDir::Read(dest), kKeep);
}

const CSourceChange kSourceChanges[] = {
    {"Grown",
        [](const CTempDir&, const std::string& source) {
            std::ofstream(source, std::ios::binary | std::ios::app) << "0x42,";
        }},
    {"CutShort",
        [](const CTempDir&, const std::string& source) {
            std::filesystem::resize_file(source, std::filesystem::file_size(source) / 2);
        }},
};

INSTANTIATE_TEST_SUITE_P(Everywhere, FileSafetySourceChange,
    testing::Combine(testing::ValuesIn(Conversions()), testing::ValuesIn(kSourceChanges)), CCaseName());

// Beyond the old limit of 260, with a short file name: a temporary name in
// the same folder must not make the path too long (the system's own limit is
// a POSIX case).
TEST(FileSafety, ALongPathIsConverted)
{
    CTempDir dir;
    const std::string source = PathOfLength(dir, 400);
    const std::string dest = std::filesystem::path(source).replace_filename("out").string();
    ASSERT_EQ(source.size(), 400u);
    std::ofstream(source, std::ios::binary) << "AB";
    std::ofstream(dest) << kKeep;
    CArrayCodec codec;
    codec.SetSourcePath(source);
    codec.SetDestPath(dest);
    const CConversionResult result = codec.BinToText(1, 10);
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(CTempDir::Read(dest), "0x41,0x42,");
}

struct CUnopenableSource
{
    const char* name;
    const char* path;   // in the test's folder, where "folder" is a folder
    int errorNumber;
    const char* reason;
};

class FileSafetyUnopenableSource : public testing::TestWithParam<std::tuple<CConversion, CUnopenableSource>>
{};

TEST_P(FileSafetyUnopenableSource, LeavesAnExistingDestinationUntouched)
{
    const auto& [conversion, unopenable] = GetParam();
    CTempDir dir;
    std::filesystem::create_directory(dir.Path("folder"));
    const std::string source = dir.Path(unopenable.path);
    CArrayCodec codec;
    codec.SetSourcePath(source);
    codec.SetDestPath(dir.Write("dest", kKeep));
    const CConversionResult result = conversion.Run(codec);
    EXPECT_EQ(result.outcome, EOutcome::Failed);
    EXPECT_EQ(CTempDir::Read(dir.Path("dest")), kKeep);
    EXPECT_EQ(result.failure, EFailure::CannotOpenSource);
    EXPECT_EQ(result.path, source);
    EXPECT_EQ(result.errorNumber, unopenable.errorNumber);
    EXPECT_EQ(result.message, "cannot open source file '" + source + "': " + unopenable.reason);
}

const CUnopenableSource kUnopenableSources[] = {
    {"Missing", "missing", ENOENT, "No such file or directory"},
    {"AFolder", "folder", EISDIR, "Is a directory"},
};

INSTANTIATE_TEST_SUITE_P(Everywhere, FileSafetyUnopenableSource,
    testing::Combine(testing::ValuesIn(Conversions()), testing::ValuesIn(kUnopenableSources)), CCaseName());

struct CUncreatableDest
{
    const char* name;
    std::string (*path)(const CTempDir& dir);   // where "folder" is an empty folder
    int errorNumber;
    const char* reason;
};

class FileSafetyUncreatableDest : public testing::TestWithParam<std::tuple<CConversion, CUncreatableDest>>
{};

TEST_P(FileSafetyUncreatableDest, IsAFailureThatCreatesNothing)
{
    const auto& [conversion, uncreatable] = GetParam();
    CTempDir dir;
    std::filesystem::create_directory(dir.Path("folder"));
    const std::string dest = uncreatable.path(dir);
    CArrayCodec codec;
    codec.SetSourcePath(dir.Write("source", conversion.sample));
    codec.SetDestPath(dest);
    const CConversionResult result = conversion.Run(codec);
    EXPECT_EQ(result.outcome, EOutcome::Failed);
    EXPECT_EQ(result.failure, EFailure::CannotOpenDest) << result.message;
    EXPECT_EQ(result.path, dest);
    EXPECT_EQ(result.errorNumber, uncreatable.errorNumber);
    EXPECT_EQ(result.message, "cannot open destination file '" + dest + "': " + uncreatable.reason);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path("folder")));
    EXPECT_EQ(Names(dir), (std::set<std::string>{"folder", "source"}));
}

const CUncreatableDest kUncreatableDests[] = {
    {"InAMissingFolder", [](const CTempDir& dir) { return dir.Path("no/such/folder/out"); }, ENOENT,
        "No such file or directory"},
    {"AFolder", [](const CTempDir& dir) { return dir.Path("folder"); }, EISDIR, "Is a directory"},
    {"AFolderWithASlash", [](const CTempDir& dir) { return dir.Path("folder") + "/"; }, EISDIR, "Is a directory"},
    {"Empty", [](const CTempDir&) { return std::string(); }, ENOENT, "No such file or directory"},
};

INSTANTIATE_TEST_SUITE_P(Everywhere, FileSafetyUncreatableDest,
    testing::Combine(testing::ValuesIn(Conversions()), testing::ValuesIn(kUncreatableDests)), CCaseName());

struct CBadUnits
{
    const char* name;
    int byteUnit;
    int lineUnit;
    EFailure failure;
};

class FileSafetyUnits : public testing::TestWithParam<std::tuple<CConversion, CBadUnits>>
{};

TEST_P(FileSafetyUnits, OutOfRangeAreRefusedBeforeAnyFileIsOpened)
{
    const auto& [conversion, units] = GetParam();
    CTempDir dir;
    CArrayCodec codec;
    codec.SetSourcePath(dir.Write("source", conversion.sample));
    codec.SetDestPath(dir.Path("dest"));
    const CConversionResult result = (codec.*conversion.run)(units.byteUnit, units.lineUnit);
    EXPECT_EQ(result.outcome, EOutcome::Failed);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("dest")));
    EXPECT_EQ(result.failure, units.failure) << result.message;
    EXPECT_EQ(result.path, "");
    EXPECT_EQ(result.errorNumber, 0);
    EXPECT_FALSE(result.message.empty());
}

// The byte unit is checked first.
const CBadUnits kBadUnits[] = {
    {"ByteUnit0", 0, 10, EFailure::BadByteUnit},
    {"ByteUnitMinus1", -1, 10, EFailure::BadByteUnit},
    {"ByteUnit10", 10, 10, EFailure::BadByteUnit},
    {"LineUnit0", 1, 0, EFailure::BadLineUnit},
    {"LineUnitMinus5", 1, -5, EFailure::BadLineUnit},
    {"ByteUnit9LineUnit0", 9, 0, EFailure::BadLineUnit},
    {"BothUnits0", 0, 0, EFailure::BadByteUnit},
};

// (the C source reader is the last conversion)
INSTANTIATE_TEST_SUITE_P(TextArrays, FileSafetyUnits,
    testing::Combine(testing::ValuesIn(Conversions().begin(), Conversions().end() - 1), testing::ValuesIn(kBadUnits)),
    CCaseName());

// For C source, byte unit 0 is the declared element type's width.
const CBadUnits kBadCSourceUnits[] = {
    {"ByteUnitMinus1", -1, 10, EFailure::BadByteUnit},
    {"ByteUnit10", 10, 10, EFailure::BadByteUnit},
    {"LineUnit0", 1, 0, EFailure::BadLineUnit},
    {"ByteUnit10LineUnit0", 10, 0, EFailure::BadByteUnit},
    {"BothUnits0", 0, 0, EFailure::BadLineUnit},
};

INSTANTIATE_TEST_SUITE_P(CSource, FileSafetyUnits,
    testing::Combine(testing::Values(Conversions().back()), testing::ValuesIn(kBadCSourceUnits)), CCaseName());

struct CScanEnd
{
    const char* name;
    bool cancels;      // at the second chunk
    int failingRead;   // the read that fails; 0: none
    EOutcome outcome;
    EFailure failure;
    bool namesTheSource;
    int errorNumber;
    std::string (*message)(const std::string& source);
    std::uint64_t chunksReported;   // by the last progress report
};

class FileSafetyWidthScan : public testing::TestWithParam<CScanEnd>
{};

// A width scan that does not finish gives no width.
TEST_P(FileSafetyWidthScan, EndedEarlyIsNoWidth)
{
    const CScanEnd& end = GetParam();
    CTempDir dir;
    const std::string source = dir.Write("source", TextArray(3 * kChunkSize + 17));
    CArrayCodec codec;
    codec.SetSourcePath(source);
    std::uint64_t lastReported = 0;
    codec.SetProgress([&](std::uint64_t read) {
        lastReported = read;
        return !end.cancels || read <= kChunkSize;
    });
    FailNthRead(end.failingRead, EIO);
    const CByteUnitScan scan = codec.ScanByteUnit();
    FailNthRead(0, 0);
    EXPECT_EQ(scan.byteUnit, 0);
    EXPECT_EQ(scan.outcome, end.outcome);
    EXPECT_EQ(scan.failure, end.failure);
    EXPECT_EQ(scan.path, end.namesTheSource ? source : "");
    EXPECT_EQ(scan.errorNumber, end.errorNumber);
    EXPECT_EQ(scan.message, end.message(source));
    EXPECT_EQ(lastReported, end.chunksReported * kChunkSize);
}

INSTANTIATE_TEST_SUITE_P(Everywhere, FileSafetyWidthScan,
    testing::Values(CScanEnd{"CancelledAtTheSecondChunk", true, 0, EOutcome::Cancelled, EFailure::None, false, 0,
                        [](const std::string&) { return std::string("cancelled"); }, 2},
        CScanEnd{"ReadErrorAtTheSecondRead", false, 2, EOutcome::Failed, EFailure::CannotReadSource, true, EIO,
            [](const std::string& source) { return "cannot read source file '" + source + "': Input/output error"; },
            1}),
    [](const testing::TestParamInfo<CScanEnd>& row) { return std::string(row.param.name); });

TEST(FileSafety, AnExistingDestinationIsTruncatedNotAppended)
{
    CTempDir dir;
    CArrayCodec codec;
    codec.SetSourcePath(dir.Write("source", "A"));
    codec.SetDestPath(dir.Write("dest", std::string(1000, 'x')));
    const CConversionResult result = codec.BinToText(1, 10);
    ASSERT_TRUE(result);
    EXPECT_EQ(CTempDir::Read(dir.Path("dest")), "0x41,");
    EXPECT_EQ(result.failure, EFailure::None);
    EXPECT_TRUE(result.message.empty());
}

} // namespace

} // namespace filesafety
