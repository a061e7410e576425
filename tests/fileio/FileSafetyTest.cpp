#include "codec/ArrayCodec.h"
#include "fileio/ByteStreams.h"
#include "fileio/IoFaults.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <utility>

namespace {

using Run = std::function<CConversionResult(CArrayCodec&)>;

struct NamedConversion
{
    const char* name;
    Run run;
};

const NamedConversion kAllConversions[] = {
    {"BinToText", [](CArrayCodec& c) { return c.BinToText(1, 10); }},
    {"TextToBin", [](CArrayCodec& c) { return c.TextToBin(1, 10); }},
    {"InvertText", [](CArrayCodec& c) { return c.InvertText(1, 10); }},
};

constexpr const char* kKeep = "keep me: 0x41,0x42,";

TEST(FileSafety, MissingSourceLeavesAnExistingDestinationUntouched)
{
    CTempDir dir;
    for (const auto& conversion : kAllConversions) {
        CArrayCodec codec;
        codec.SetSourcePath(dir.Path("missing"));
        codec.SetDestPath(dir.Write("dest", kKeep));
        const CConversionResult result = conversion.run(codec);
        EXPECT_EQ(result.outcome, EOutcome::Failed) << conversion.name;
        EXPECT_EQ(CTempDir::Read(dir.Path("dest")), kKeep) << conversion.name;
        EXPECT_EQ(result.failure, EFailure::CannotOpenSource) << conversion.name;
        EXPECT_EQ(result.path, dir.Path("missing")) << conversion.name;
        EXPECT_EQ(result.errorNumber, ENOENT) << conversion.name;
        EXPECT_EQ(result.message, "cannot open source file '" + dir.Path("missing") + "': No such file or directory");
    }
}

TEST(FileSafety, SourceThatIsAFolderLeavesTheDestinationUntouched)
{
    CTempDir dir;
    std::filesystem::create_directory(dir.Path("folder"));
    for (const auto& conversion : kAllConversions) {
        CArrayCodec codec;
        codec.SetSourcePath(dir.Path("folder"));
        codec.SetDestPath(dir.Write("dest", kKeep));
        const CConversionResult result = conversion.run(codec);
        EXPECT_EQ(result.outcome, EOutcome::Failed) << conversion.name;
        EXPECT_EQ(CTempDir::Read(dir.Path("dest")), kKeep) << conversion.name;
        EXPECT_EQ(result.failure, EFailure::CannotOpenSource) << result.message;
        EXPECT_EQ(result.path, dir.Path("folder")) << result.message;
        EXPECT_EQ(result.errorNumber, EISDIR) << result.message;
        EXPECT_NE(result.message.find("Is a directory"), std::string::npos) << result.message;
    }
}

TEST(FileSafety, TheSameFileUnderAnyNameIsRefusedAndKeepsItsContent)
{
    CTempDir dir;
    const std::string original = dir.Write("data.txt", kKeep);
    std::filesystem::create_directory(dir.Path("sub"));
    std::filesystem::create_hard_link(original, dir.Path("hard.txt"));
#ifndef _WIN32
    std::filesystem::create_symlink(original, dir.Path("link.txt"));
#endif
    const std::string otherNames[] = {
        original,
        dir.Path("sub/../data.txt"),
        dir.Path("./data.txt"),
        dir.Path("hard.txt"),
#ifndef _WIN32
        dir.Path("link.txt"),
#endif
    };
    for (const auto& conversion : kAllConversions) {
        for (const std::string& dest : otherNames) {
            CArrayCodec codec;
            codec.SetSourcePath(original);
            codec.SetDestPath(dest);
            const CConversionResult result = conversion.run(codec);
            EXPECT_EQ(result.outcome, EOutcome::Failed) << conversion.name << " into " << dest;
            EXPECT_EQ(CTempDir::Read(original), kKeep) << conversion.name << " into " << dest;
            EXPECT_EQ(result.failure, EFailure::SameFile) << result.message;
            EXPECT_EQ(result.path, dest) << result.message;
            EXPECT_EQ(result.errorNumber, 0) << result.message;
            EXPECT_NE(result.message.find("same file"), std::string::npos) << result.message;
        }
    }
}

TEST(FileSafety, AFullDiskIsAFailure)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this system";
    CTempDir dir;
    // Big enough to fill the write buffer more than once, and a small case
    // that fails only when the last buffer is written at close.
    for (const std::size_t size : {std::size_t{3}, std::size_t{300000}}) {
        const std::string source = dir.Write("source", std::string(size, '7'));
        for (const auto& conversion : kAllConversions) {
            CArrayCodec codec;
            codec.SetSourcePath(source);
            codec.SetDestPath("/dev/full");
            const CConversionResult result = conversion.run(codec);
            EXPECT_EQ(result.outcome, EOutcome::Failed) << conversion.name << ", " << size << " bytes";
            EXPECT_EQ(result.failure, EFailure::CannotWriteDest) << result.message;
            EXPECT_EQ(result.path, "/dev/full");
            EXPECT_EQ(result.errorNumber, ENOSPC);
            EXPECT_EQ(result.message, "cannot write destination file '/dev/full': No space left on device");
        }
    }
}

TEST(FileSafety, DestinationThatCannotBeCreatedIsAFailure)
{
    CTempDir dir;
    const std::string source = dir.Write("source", "0x41,");
    std::filesystem::create_directory(dir.Path("folder"));
    const struct
    {
        std::string dest;
        int errorNumber;
        const char* reason;
    } destinations[] = {
        {dir.Path("no/such/folder/out"), ENOENT, "No such file or directory"},
        {dir.Path("folder"), EISDIR, "Is a directory"},
        {dir.Path("folder") + "/", EISDIR, "Is a directory"},
        {std::string(), ENOENT, "No such file or directory"},
    };
    for (const auto& [dest, errorNumber, reason] : destinations) {
        for (const auto& conversion : kAllConversions) {
            CArrayCodec codec;
            codec.SetSourcePath(source);
            codec.SetDestPath(dest);
            const CConversionResult result = conversion.run(codec);
            EXPECT_EQ(result.outcome, EOutcome::Failed) << conversion.name << " into " << dest;
            EXPECT_EQ(result.failure, EFailure::CannotOpenDest) << result.message;
            EXPECT_EQ(result.path, dest) << result.message;
            EXPECT_EQ(result.errorNumber, errorNumber) << result.message;
            EXPECT_EQ(result.message, "cannot open destination file '" + dest + "': " + reason);
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path("folder")));
}

TEST(FileSafety, UnitsOutOfRangeAreRefusedBeforeAnyFileIsOpened)
{
    CTempDir dir;
    const std::string source = dir.Write("source", "0x41,");
    const struct
    {
        int byteUnit;
        int lineUnit;
        EFailure failure;
    } badUnits[] = {
        {0, 10, EFailure::BadByteUnit},
        {-1, 10, EFailure::BadByteUnit},
        {10, 10, EFailure::BadByteUnit},
        {1, 0, EFailure::BadLineUnit},
        {1, -5, EFailure::BadLineUnit},
        {9, 0, EFailure::BadLineUnit},
        // The byte unit is checked first.
        {0, 0, EFailure::BadByteUnit},
    };
    for (const auto& [byteUnit, lineUnit, failure] : badUnits) {
        const std::function<CConversionResult(CArrayCodec&)> runs[] = {
            [&](CArrayCodec& c) { return c.BinToText(byteUnit, lineUnit); },
            [&](CArrayCodec& c) { return c.TextToBin(byteUnit, lineUnit); },
            [&](CArrayCodec& c) { return c.InvertText(byteUnit, lineUnit); },
        };
        for (const auto& run : runs) {
            CArrayCodec codec;
            codec.SetSourcePath(source);
            codec.SetDestPath(dir.Path("dest"));
            const CConversionResult result = run(codec);
            EXPECT_EQ(result.outcome, EOutcome::Failed) << byteUnit << "/" << lineUnit;
            EXPECT_FALSE(std::filesystem::exists(dir.Path("dest"))) << byteUnit << "/" << lineUnit;
            EXPECT_EQ(result.failure, failure) << result.message;
            EXPECT_EQ(result.path, "") << result.message;
            EXPECT_EQ(result.errorNumber, 0) << result.message;
            EXPECT_FALSE(result.message.empty());
        }
    }
}

// Three chunks and a bit, so that the third read comes in the middle.
const std::string kBigBinary(3 * kChunkSize + 17, 'A');
std::string BigText()
{
    std::string text;
    while (text.size() < 3 * kChunkSize + 17)
        text += "0x41,";
    return text;
}

struct SourcedConversion
{
    const char* name;
    Run run;
    std::string source;
};

const SourcedConversion kBigConversions[] = {
    {"BinToText", [](CArrayCodec& c) { return c.BinToText(1, 10); }, kBigBinary},
    {"TextToBin", [](CArrayCodec& c) { return c.TextToBin(1, 10); }, BigText()},
    {"InvertText", [](CArrayCodec& c) { return c.InvertText(1, 10); }, BigText()},
};

std::set<std::string> Names(const CTempDir& dir)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Root()))
        names.insert(entry.path().filename().string());
    return names;
}

#ifndef _WIN32
unsigned Mode(const std::string& path)
{
    struct stat status{};
    stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

unsigned NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}
#endif

// The ways a destination can be named: the file to write through, and the
// name that is given to the codec.
enum class EDestination { Existing, Symlink, New };

struct CDestinationSetUp
{
    std::string given;
    std::string written;   // where the content ends up
};

CDestinationSetUp SetUpDestination(const CTempDir& dir, EDestination kind)
{
    switch (kind) {
    case EDestination::Existing: dir.Write("dest", kKeep);
#ifndef _WIN32
        chmod(dir.Path("dest").c_str(), 0640);
#endif
        return {dir.Path("dest"), dir.Path("dest")};
    case EDestination::Symlink:
#ifndef _WIN32
        dir.Write("target", kKeep);
        chmod(dir.Path("target").c_str(), 0640);
        std::filesystem::create_symlink("target", dir.Path("dest"));
        return {dir.Path("dest"), dir.Path("target")};
#endif
        break;
    case EDestination::New: break;
    }
    return {dir.Path("dest"), dir.Path("dest")};
}

#ifdef _WIN32
const EDestination kDestinations[] = {EDestination::Existing, EDestination::New};
#else
const EDestination kDestinations[] = {EDestination::Existing, EDestination::Symlink, EDestination::New};
#endif

// What ends the conversion, and how it is reported: the message's start,
// and the file it names (none, the source or the destination).
enum class ENamed { None, Source, Dest };

struct InjectedFailure
{
    const char* name;
    void (*inject)(CArrayCodec&);
    EOutcome outcome;
    EFailure failure;
    ENamed named;
    int errorNumber;
    const char* reason;
};

const InjectedFailure kFailures[] = {
    {"read error at the third read", [](CArrayCodec&) { FailNthRead(3, EIO); }, EOutcome::Failed,
        EFailure::CannotReadSource, ENamed::Source, EIO, "cannot read source file"},
    {"write error", [](CArrayCodec&) { FailNthWrite(1, ENOSPC); }, EOutcome::Failed, EFailure::CannotWriteDest,
        ENamed::Dest, ENOSPC, "cannot write destination file"},
    {"cancelled at the second chunk",
        [](CArrayCodec& codec) { codec.SetProgress([](std::uint64_t read) { return read <= kChunkSize; }); },
        EOutcome::Cancelled, EFailure::None, ENamed::None, 0, ""},
};

TEST(FileSafety, AFailedConversionLeavesTheOldDestinationAndNothingElse)
{
    for (const auto& failure : kFailures) {
        for (const auto& conversion : kBigConversions) {
            for (const EDestination kind : kDestinations) {
                const std::string what = std::string(failure.name) + ", " + conversion.name + ", destination "
                    + std::to_string(static_cast<int>(kind));
                CTempDir dir;
                const std::string source = dir.Write("source", conversion.source);
                const CDestinationSetUp dest = SetUpDestination(dir, kind);
                const std::set<std::string> before = Names(dir);
                CArrayCodec codec;
                codec.SetSourcePath(source);
                codec.SetDestPath(dest.given);
                failure.inject(codec);
                const CConversionResult result = conversion.run(codec);
                FailNthRead(0, 0);
                FailNthWrite(0, 0);
                const std::string named[] = {"", source, dest.given};
                EXPECT_EQ(result.outcome, failure.outcome) << what;
                EXPECT_EQ(result.failure, failure.failure) << what;
                EXPECT_EQ(result.path, named[static_cast<int>(failure.named)]) << what;
                EXPECT_EQ(result.errorNumber, failure.errorNumber) << what;
                EXPECT_EQ(result.message.rfind(failure.reason, 0), 0u) << what << ": " << result.message;
                EXPECT_EQ(Names(dir), before) << what;
                if (kind != EDestination::New) {
                    EXPECT_EQ(CTempDir::Read(dest.written), kKeep) << what;
#ifndef _WIN32
                    EXPECT_EQ(Mode(dest.written), 0640u) << what;
#endif
                }
                if (kind == EDestination::Symlink) {
                    EXPECT_TRUE(std::filesystem::is_symlink(dest.given)) << what;
                }
            }
        }
    }
}

TEST(FileSafety, ASuccessfulConversionReplacesTheDestinationKeepingItsModeAndLinks)
{
    for (const EDestination kind : kDestinations) {
        CTempDir dir;
        const std::string source = dir.Write("source", "AB");
        const CDestinationSetUp dest = SetUpDestination(dir, kind);
        CArrayCodec codec;
        codec.SetSourcePath(source);
        codec.SetDestPath(dest.given);
        const CConversionResult result = codec.BinToText(1, 10);
        ASSERT_TRUE(result) << result.message;
        EXPECT_EQ(CTempDir::Read(dest.written), "0x41,0x42,");
#ifndef _WIN32
        EXPECT_EQ(Mode(dest.written), kind == EDestination::New ? NewFileMode() : 0640u);
#endif
        if (kind == EDestination::Symlink) {
            EXPECT_TRUE(std::filesystem::is_symlink(dest.given));
        }
        const std::set<std::string> expected = kind == EDestination::Symlink
            ? std::set<std::string>{"source", "dest", "target"}
            : std::set<std::string>{"source", "dest"};
        EXPECT_EQ(Names(dir), expected);
    }
}

#ifndef _WIN32
// (wine counts one link whatever the file has)
TEST(FileSafety, AFileWithSeveralHardLinksIsWrittenInPlaceForEveryName)
{
    CTempDir dir;
    const std::string dest = dir.Write("dest", kKeep);
    std::filesystem::create_hard_link(dest, dir.Path("other"));
    CArrayCodec codec;
    codec.SetSourcePath(dir.Write("source", "A"));
    codec.SetDestPath(dest);
    const CConversionResult result = codec.BinToText(1, 10);
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(CTempDir::Read(dir.Path("other")), "0x41,");
    EXPECT_EQ(std::filesystem::hard_link_count(dest), 2u);
}
#endif

struct SourceChange
{
    const char* name;
    void (*change)(const CTempDir& dir, const std::string& source);
};

const SourceChange kSourceChanges[] = {
    {"grown",
        [](const CTempDir&, const std::string& source) {
            std::ofstream(source, std::ios::binary | std::ios::app) << "0x42,";
        }},
    {"cut short",
        [](const CTempDir&, const std::string& source) {
            std::filesystem::resize_file(source, std::filesystem::file_size(source) / 2);
        }},
#ifndef _WIN32
    // (Windows renames nothing over a file that is open)
    {"replaced under its name",
        [](const CTempDir& dir, const std::string& source) {
            std::filesystem::rename(dir.Write("other", std::string(std::filesystem::file_size(source), '7')), source);
        }},
#endif
};

// A source that changes while it is read gives a mix of two versions: a failure.
TEST(FileSafety, ASourceThatChangesWhileItIsReadIsAFailure)
{
    for (const auto& change : kSourceChanges) {
        for (const auto& conversion : kBigConversions) {
            const std::string what = std::string(change.name) + ", " + conversion.name;
            CTempDir dir;
            const std::string source = dir.Write("source", conversion.source);
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
            const CConversionResult result = conversion.run(codec);
            EXPECT_EQ(result.outcome, EOutcome::Failed) << what;
            EXPECT_EQ(result.failure, EFailure::SourceChanged) << what;
            EXPECT_EQ(result.path, source) << what;
            EXPECT_EQ(result.errorNumber, 0) << what;
            EXPECT_EQ(result.message, "source file '" + source + "' changed while it was read") << what;
            EXPECT_EQ(CTempDir::Read(dest), kKeep) << what;
        }
    }
}

TEST(FileSafety, ACancelledWidthScanIsNoWidth)
{
    CTempDir dir;
    CArrayCodec codec;
    codec.SetSourcePath(dir.Write("source", BigText()));
    std::uint64_t lastReported = 0;
    codec.SetProgress([&](std::uint64_t read) {
        lastReported = read;
        return read <= kChunkSize;
    });
    const CByteUnitScan scan = codec.ScanByteUnit();
    EXPECT_EQ(scan.byteUnit, 0);
    EXPECT_EQ(scan.outcome, EOutcome::Cancelled);
    EXPECT_EQ(scan.failure, EFailure::None);
    EXPECT_EQ(lastReported, 2 * kChunkSize);
}

TEST(FileSafety, AReadErrorDuringTheWidthScanIsNoWidth)
{
    CTempDir dir;
    CArrayCodec codec;
    codec.SetSourcePath(dir.Write("source", BigText()));
    FailNthRead(2, EIO);
    const CByteUnitScan scan = codec.ScanByteUnit();
    FailNthRead(0, 0);
    EXPECT_EQ(scan.byteUnit, 0);
    EXPECT_EQ(scan.outcome, EOutcome::Failed);
    EXPECT_EQ(scan.failure, EFailure::CannotReadSource);
    EXPECT_EQ(scan.path, dir.Path("source"));
    EXPECT_EQ(scan.errorNumber, EIO);
    EXPECT_EQ(scan.message, "cannot read source file '" + dir.Path("source") + "': Input/output error");
}

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

// Up to the system's limit, with a short file name: a temporary name in the
// same folder must not make the path too long.
TEST(FileSafety, LongPathsWork)
{
#ifdef _WIN32
    const std::size_t lengths[] = {400};
#else
    const std::size_t lengths[] = {400, 4090};
#endif
    for (const std::size_t length : lengths) {
        CTempDir dir;
        std::filesystem::path folder = dir.Root();
        for (char level = 'a'; folder.string().size() + 101 + 8 < length; ++level)
            folder /= std::string(100, level);
        folder /= std::string(length - folder.string().size() - 1 - 7, 'z');   // then "/in.bin"
        std::filesystem::create_directories(folder);
        const std::string source = (folder / "in.bin").string();
        const std::string dest = (folder / "out").string();
        ASSERT_EQ(source.size(), length);
        {
            std::ofstream(source, std::ios::binary) << "AB";
        }
        std::ofstream(dest) << kKeep;
        CArrayCodec codec;
        codec.SetSourcePath(source);
        codec.SetDestPath(dest);
#ifndef _WIN32
        struct stat before{};
        stat(dest.c_str(), &before);
#endif
        const CConversionResult result = codec.BinToText(1, 10);
        ASSERT_TRUE(result) << length << ": " << result.message;
        EXPECT_EQ(CTempDir::Read(dest), "0x41,0x42,") << length;
#ifndef _WIN32
        struct stat after{};
        stat(dest.c_str(), &after);
        EXPECT_NE(after.st_ino, before.st_ino) << length << ": replaced, not written in place";
#endif
    }
}

} // namespace
