#include "Help.h"
#include "ProgramRun.h"
#include "TempDir.h"
#include "fileio/Utf8Path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using Files = std::vector<std::pair<std::string, std::string>>;   // UTF-8 name, bytes

struct WindowsCase
{
    const char* name;
    Files before;
    std::vector<std::string> args;
    int exitCode;
    std::string output;
    std::string errors;
    Files after;
    std::string input = {};   // standard input's bytes, in the file "standard input"; none when empty
    Files links = {};         // hard links made first: the new name, the file it names
    std::string appendTo = {};   // the file standard output is appended to (">>"); none when empty
};

struct Program
{
    const char* name;
    const char* path;
};

const Program kPrograms[] = {{"Console", MORVEX_COM}, {"Gui", MORVEX_EXE}};

void WriteFile(const CTempDir& dir, const std::string& name, const std::string& bytes)
{
    const std::filesystem::path path = dir.Root() / PathFromUtf8(name);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const CTempDir& dir, const std::string& name)
{
    std::ifstream in(dir.Root() / PathFromUtf8(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class WindowsCommandLine : public testing::TestWithParam<std::tuple<Program, WindowsCase>>
{};

TEST_P(WindowsCommandLine, KeepsNamesAndBytes)
{
    const auto& [program, c] = GetParam();
    CTempDir dir;
    for (const auto& [name, bytes] : c.before)
        WriteFile(dir, name, bytes);
    std::filesystem::path input;
    if (!c.input.empty()) {
        WriteFile(dir, "standard input", c.input);
        input = dir.Root() / "standard input";
    }
    for (const auto& [link, existing] : c.links)
        std::filesystem::create_hard_link(dir.Root() / PathFromUtf8(existing), dir.Root() / PathFromUtf8(link));
    const std::filesystem::path appendTo = c.appendTo.empty() ? std::filesystem::path() : dir.Root() / c.appendTo;
    const CProgramOutcome outcome = RunProgramAppending(program.path, dir.Root(), c.args, input, appendTo);
    EXPECT_EQ(outcome.exitCode, c.exitCode) << outcome.errors;
    EXPECT_EQ(outcome.output, c.output);
    EXPECT_EQ(outcome.errors, c.errors);
    for (const auto& [name, bytes] : c.after)
        EXPECT_EQ(ReadFile(dir, name), bytes) << name;
}

const std::string kLines = "\n\x41\r\n";   // every line end a text mode would change
const std::string kTwelve = "ABCDEFGHIJKL";

const WindowsCase kCases[] = {
    {"KoreanNamesConvert", {{"원본.bin", "AB"}}, {"h", "원본.bin", "결과.txt"}, 0, "", "",
        {{"결과.txt", "0x41,0x42,"}}},
    {"KoreanFolderAndBackToBinary", {{"배열 모음/배열.txt", "0x0A,0x41,0x0D,0x0A,"}},
        {"b", "배열 모음\\배열.txt", "출력.bin"}, 0, "", "", {{"출력.bin", kLines}}},
    {"KoreanSameNameIsRefused", {{"원본.bin", "AB"}}, {"h", "원본.bin", "원본.bin"}, 1, "",
        "morvex: source and destination are the same file '원본.bin'\n", {{"원본.bin", "AB"}}},
    {"KoreanSameFileThroughTheFolderIsRefused", {{"폴더/원본.txt", "0x41,"}},
        {"i", "폴더\\원본.txt", ".\\폴더\\..\\폴더\\원본.txt"}, 1, "",
        "morvex: source and destination are the same file '.\\폴더\\..\\폴더\\원본.txt'\n",
        {{"폴더/원본.txt", "0x41,"}}},
    {"MissingKoreanSourceIsNamed", {}, {"h", "없음.bin", "out"}, 1, "",
        "morvex: cannot open source file '없음.bin': No such file or directory\n", {}},
    {"BinaryBytesToStandardOutput", {{"t.txt", "0x0A,0x41,0x0D,0x0A"}}, {"b", "t.txt", "/dev/stdout"}, 0, kLines, "",
        {}},
    {"TextLinesToStandardOutput", {{"in.bin", kTwelve}}, {"h", "in.bin", "/dev/stdout"}, 0,
        "0x41,0x42,0x43,0x44,0x45,0x46,0x47,0x48,0x49,0x4A,\r\n0x4B,0x4C,", "", {}},
    {"HelpOnStandardOutput", {}, {"/?"}, 0, HelpText(), "", {}},
    {"DashIsStandardOutput", {{"in.bin", kTwelve}}, {"h", "in.bin", "-"}, 0,
        "0x41,0x42,0x43,0x44,0x45,0x46,0x47,0x48,0x49,0x4A,\r\n0x4B,0x4C,", "", {}},
    {"DashIsStandardInputInBinaryMode", {}, {"b", "-", "출력.bin"}, 0, "", "", {{"출력.bin", kLines}},
        "0x0A,0x41,0x0D,0x0A,"},
    {"DashBothWaysWithAByteUnit", {}, {"i2", "-", "-"}, 0, "0xFEFD,65532,", "", {}, "0x0102,\r\n3"},
    {"AFileNamedDash", {{"-", "AB"}}, {"h", ".\\-", "out"}, 0, "", "", {{"out", "0x41,0x42,"}}},
    // The standard streams' names stand for the streams' own files: a source
    // read from its own destination would be destroyed, or grow without end.
    {"StandardInputIntoItsOwnFileIsRefused", {}, {"h", "-", "standard input"}, 1, "",
        "morvex: source and destination are the same file 'standard input'\n", {{"standard input", "AB"}}, "AB"},
    {"StandardInputIntoAHardLinkOfItIsRefused", {}, {"h", "-", "link.bin"}, 1, "",
        "morvex: source and destination are the same file 'link.bin'\n", {{"standard input", "AB"}, {"link.bin", "AB"}},
        "AB", {{"link.bin", "standard input"}}},
    // Empty, so that a regression fails here rather than filling the disk.
    {"AppendingToTheSourceIsRefused", {{"fw.bin", ""}}, {"h", "fw.bin", "-"}, 1, "",
        "morvex: source and destination are the same file '/dev/stdout'\n", {{"fw.bin", ""}}, {}, {}, "fw.bin"},
    {"AppendingToAHardLinkOfTheSourceIsRefused", {{"fw.bin", ""}}, {"h", "fw.bin", "-"}, 1, "",
        "morvex: source and destination are the same file '/dev/stdout'\n", {{"fw.bin", ""}}, {},
        {{"link.bin", "fw.bin"}}, "link.bin"},
};

INSTANTIATE_TEST_SUITE_P(Cases, WindowsCommandLine,
    testing::Combine(testing::ValuesIn(kPrograms), testing::ValuesIn(kCases)),
    [](const testing::TestParamInfo<std::tuple<Program, WindowsCase>>& caseInfo) {
        return std::string(std::get<0>(caseInfo.param).name) + std::get<1>(caseInfo.param).name;
    });

} // namespace
