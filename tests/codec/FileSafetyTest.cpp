#include "ArrayCodec.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace {

using Run = std::function<bool(CArrayCodec&)>;

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
        EXPECT_FALSE(conversion.run(codec)) << conversion.name;
        EXPECT_EQ(CTempDir::Read(dir.Path("dest")), kKeep) << conversion.name;
        EXPECT_EQ(codec.LastError(), "cannot open source file '" + dir.Path("missing") + "': No such file or directory");
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
        EXPECT_FALSE(conversion.run(codec)) << conversion.name;
        EXPECT_EQ(CTempDir::Read(dir.Path("dest")), kKeep) << conversion.name;
        EXPECT_NE(codec.LastError().find("Is a directory"), std::string::npos) << codec.LastError();
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
            EXPECT_FALSE(conversion.run(codec)) << conversion.name << " into " << dest;
            EXPECT_EQ(CTempDir::Read(original), kKeep) << conversion.name << " into " << dest;
            EXPECT_NE(codec.LastError().find("same file"), std::string::npos) << codec.LastError();
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
            EXPECT_FALSE(conversion.run(codec)) << conversion.name << ", " << size << " bytes";
            EXPECT_EQ(codec.LastError(), "cannot write destination file '/dev/full': No space left on device");
        }
    }
}

TEST(FileSafety, DestinationThatCannotBeCreatedIsAFailure)
{
    CTempDir dir;
    const std::string source = dir.Write("source", "0x41,");
    std::filesystem::create_directory(dir.Path("folder"));
    for (const std::string& dest : {dir.Path("no/such/folder/out"), dir.Path("folder")}) {
        for (const auto& conversion : kAllConversions) {
            CArrayCodec codec;
            codec.SetSourcePath(source);
            codec.SetDestPath(dest);
            EXPECT_FALSE(conversion.run(codec)) << conversion.name << " into " << dest;
            EXPECT_EQ(codec.LastError().rfind("cannot open destination file '" + dest + "'", 0), 0u) << codec.LastError();
        }
    }
}

TEST(FileSafety, UnitsOutOfRangeAreRefusedBeforeAnyFileIsOpened)
{
    CTempDir dir;
    const std::string source = dir.Write("source", "0x41,");
    const std::pair<int, int> badUnits[] = {{0, 10}, {-1, 10}, {10, 10}, {1, 0}, {1, -5}, {9, 0}};
    for (const auto& [byteUnit, lineUnit] : badUnits) {
        const std::function<bool(CArrayCodec&)> runs[] = {
            [&](CArrayCodec& c) { return c.BinToText(byteUnit, lineUnit); },
            [&](CArrayCodec& c) { return c.TextToBin(byteUnit, lineUnit); },
            [&](CArrayCodec& c) { return c.InvertText(byteUnit, lineUnit); },
        };
        for (const auto& run : runs) {
            CArrayCodec codec;
            codec.SetSourcePath(source);
            codec.SetDestPath(dir.Path("dest"));
            EXPECT_FALSE(run(codec)) << byteUnit << "/" << lineUnit;
            EXPECT_FALSE(std::filesystem::exists(dir.Path("dest"))) << byteUnit << "/" << lineUnit;
            EXPECT_FALSE(codec.LastError().empty());
        }
    }
}

TEST(FileSafety, AnExistingDestinationIsTruncatedNotAppended)
{
    CTempDir dir;
    CArrayCodec codec;
    codec.SetSourcePath(dir.Write("source", "A"));
    codec.SetDestPath(dir.Write("dest", std::string(1000, 'x')));
    ASSERT_TRUE(codec.BinToText(1, 10));
    EXPECT_EQ(CTempDir::Read(dir.Path("dest")), "0x41,");
    EXPECT_TRUE(codec.LastError().empty());
}

TEST(FileSafety, PathsLongerThan255BytesWork)
{
    CTempDir dir;
    std::filesystem::path folder = dir.Root();
    for (int level = 0; level < 4; ++level)
        folder /= std::string(100, static_cast<char>('a' + level));
    std::filesystem::create_directories(folder);
    const std::string source = (folder / "source.bin").string();
    const std::string dest = (folder / "dest.txt").string();
    ASSERT_GT(dest.size(), 400u);
    { std::ofstream(source, std::ios::binary) << "AB"; }
    CArrayCodec codec;
    codec.SetSourcePath(source);
    codec.SetDestPath(dest);
    ASSERT_TRUE(codec.BinToText(1, 10)) << codec.LastError();
    EXPECT_EQ(CTempDir::Read(dest), "0x41,0x42,");
}

} // namespace
