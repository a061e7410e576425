#include "TempDir.h"
#include "fileio/Utf8Path.h"
#include "WindowsStartUp.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

namespace {

TEST(WindowsStartUp, NoSystemBoxesAndBinaryStandardOutput)
{
    PrepareWindowsProcess();
    const UINT mode = GetErrorMode();
    EXPECT_TRUE(mode & SEM_FAILCRITICALERRORS);
    EXPECT_TRUE(mode & SEM_NOOPENFILEERRORBOX);
    // _setmode answers with the mode it replaces.
    EXPECT_EQ(_setmode(_fileno(stdout), _O_BINARY), _O_BINARY);
}

struct TextCase
{
    const char* name;
    std::wstring wide;
    std::string utf8;
};

const TextCase kTexts[] = {
    {"Empty", L"", ""},
    {"Ascii", L"in.bin", "in.bin"},
    {"Korean", L"\uC6D0\uBCF8.bin", "\xEC\x9B\x90\xEB\xB3\xB8.bin"},
    {"Accented", L"caf\u00E9", "caf\xC3\xA9"},
    {"BeyondTheBasicPlane", L"\U0001F600.txt", "\xF0\x9F\x98\x80.txt"},
};

class WideText : public testing::TestWithParam<TextCase>
{};

TEST_P(WideText, ArgumentsAndPathsTravelAsUtf8)
{
    const TextCase& c = GetParam();
    EXPECT_EQ(Utf8FromWide(c.wide), c.utf8);
    EXPECT_EQ(WideFromUtf8(c.utf8), c.wide);
    std::wstring argument = c.wide;
    wchar_t program[] = L"morvex.exe";
    wchar_t* argv[] = {program, argument.data(), nullptr};
    EXPECT_EQ(Utf8Arguments(2, argv), (std::vector<std::string>{"morvex.exe", c.utf8}));
    EXPECT_EQ(PathFromUtf8(c.utf8).wstring(), c.wide);
}

INSTANTIATE_TEST_SUITE_P(Texts, WideText, testing::ValuesIn(kTexts),
    [](const testing::TestParamInfo<TextCase>& caseInfo) { return std::string(caseInfo.param.name); });

// The C runtime calls a folder "Permission denied"; the messages name it as
// on every other platform.
TEST(OpenFile, AFolderIsReportedAsAFolderBothWays)
{
    CTempDir dir;
    const std::string folder = dir.Path("folder");
    std::filesystem::create_directory(folder);
    for (const char* mode : {"rb", "wb"}) {
        errno = 0;
        EXPECT_EQ(OpenFile(folder, mode), nullptr) << mode;
        EXPECT_EQ(errno, EISDIR) << mode;
    }
}

// A pipe into "/dev/stdin" works as on the other platforms, bytes unchanged.
TEST(OpenFile, StandardInputByItsPosixName)
{
    CTempDir dir;
    const std::string bytes = "0x41,\r\n\x1A\n0x42,";
    ASSERT_NE(std::freopen(dir.Write("input", bytes).c_str(), "r", stdin), nullptr);
    std::FILE* input = OpenFile("/dev/stdin", "rb");
    ASSERT_NE(input, nullptr);
    char read[64] = {};
    EXPECT_EQ(std::string(read, std::fread(read, 1, sizeof read, input)), bytes);
    std::fclose(input);
    // The process's own standard input is still open: at its end, not broken.
    EXPECT_EQ(std::fgetc(stdin), EOF);
    EXPECT_FALSE(std::ferror(stdin));
}

} // namespace
