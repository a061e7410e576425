#include "CommandLine.h"
#include "ConversionCommands.h"
#include "Help.h"
#include "MorvexApp.h"
#include "ProgramRun.h"
#include "StartChoice.h"
#include "TempDir.h"
#include "Usage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Outcome = CProgramOutcome;

Outcome RunMorvex(const CTempDir& dir, const std::vector<std::string>& args)
{
    return RunProgram(MORVEX_BINARY, dir.Root(), args);
}

const std::string kUsage = std::string(kUsageText) + "\n";

struct OptionCase
{
    std::string option;
    std::string source;
    std::string expected;
    std::vector<std::string> before = {};   // the options before the conversion option
    std::string sourceName = "in";
};

class CommandLineOption : public testing::TestWithParam<OptionCase>
{};

TEST_P(CommandLineOption, ConvertsSilentlyWithItsUnitsAndLineUnit10)
{
    const OptionCase& c = GetParam();
    CTempDir dir;
    dir.Write(c.sourceName, c.source);
    std::vector<std::string> args = c.before;
    args.insert(args.end(), {c.option, c.sourceName, "out"});
    const Outcome outcome = RunMorvex(dir, args);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    EXPECT_EQ(outcome.errors, "");
    EXPECT_EQ(outcome.output, "");
    EXPECT_EQ(CTempDir::Read(dir.Path("out")), c.expected);
}

const std::string kTwelve = "ABCDEFGHIJKL";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Options, CommandLineOption,
    testing::Values(
        OptionCase{"h", kTwelve, "0x41,0x42,0x43,0x44,0x45,0x46,0x47,0x48,0x49,0x4A,\r\n0x4B,0x4C,"},
        OptionCase{"h0", "AB", "0x41,0x42,"},
        OptionCase{"hx", "AB", "0x41,0x42,"},
        OptionCase{"hh", "AB", "0x41,0x42,"},
        OptionCase{"h1", "AB", "0x41,0x42,"},
        OptionCase{"h2", "ABC", "0x4241,0x43"},
        OptionCase{"h5", "\x01\x02\x03\x04\x05\x06", "0x0504030201,0x06"},
        OptionCase{"h9", "123456789", "0x393837363534333231,"},
        OptionCase{"b", "0x41, 66,0x4344", "ABD"},
        OptionCase{"b1", "0x41, 66", "AB"},
        OptionCase{"b2", "0x4241, 67", std::string("ABC\0", 4)},
        OptionCase{"b4", "0x44434241,0x48474645", "ABCDEFGH"},
        OptionCase{"i", "0x00,1,2,3,4,5,6,7,8,9,10", "0xFF,254,253,252,251,250,249,248,247,246,\r\n245,"},
        OptionCase{"i1", "0x41", "0xBE,"},
        OptionCase{"i2", "0x0102,3", "0xFEFD,65532,"},
        OptionCase{"i3", "0,1,2,3,4,5,6,7,8,9,10", "16777215,16777214,16777213,16777212,16777211,16777210,16777209,"
                                                 "16777208,16777207,16777206,\r\n16777205,"},
        OptionCase{"c", "unsigned char f[] = {0x41, /* 9 */ 66};\nunsigned int f_len = 2;", "AB"},
        OptionCase{"c", "static const uint16_t t[3] = {0x4241, -1};", std::string("AB\xFF\xFF\0\0", 6)},
        OptionCase{"c4", "uint32_t t[] = {0x44434241, 'E'};", std::string("ABCDE\0\0\0", 8)},
        OptionCase{"c1", "0x41, 0x4342", "AB"},
        // Options before the conversion option, in each of their forms.
        OptionCase{"c", "unsigned char a[] = {1};", "\x01", {"--abi", "x86_64-windows"}},
        OptionCase{"c2", "unsigned char a[] = {1};", std::string("\x01\0", 2),
            {"--abi=arm-eabi", "--array", "a", "-DUNUSED", "-D", "F(x)=x", "-UOTHER", "-U", "F"}},
        OptionCase{"c", "unsigned char a[] = {1};", "\x01", {"--array=a", "--"}, "-x"},
        // Each changes the bytes as the same choice changes a build's.
        OptionCase{"c", "char a[] = {1};\nshort b[] = {2};", std::string("\x02\0", 2), {"--array", "b"}},
        OptionCase{"c", "#ifdef USE_TABLE\nchar t[] = {7};\n#else\nchar t[] = {8};\n#endif", "\x07", {"-DUSE_TABLE"}},
        OptionCase{"c", "#ifdef X\nchar t[] = {7};\n#else\nchar t[] = {8};\n#endif", "\x08", {"-DX", "-UX"}},
        OptionCase{"c2", "char a[] = \"\\xFF\";", std::string("\xFF\0\0\0", 4), {"--abi", "arm-eabi"}},
        OptionCase{"c2", "char a[] = \"\\xFF\";", std::string("\xFF\xFF\0\0", 4)},
        OptionCase{"c", "long a[] = {-1};", std::string(4, '\xFF'), {"--abi", "x86_64-windows"}}));
// clang-format on

struct RoundTripCase
{
    std::string there;   // the option that writes the text array
    std::string back;    // the option that reads it
    std::string bytes;
};

class CommandLineRoundTrip : public testing::TestWithParam<RoundTripCase>
{};

// What one option writes at a byte unit, the matching option reads back
// (inverting twice is the identity).
TEST_P(CommandLineRoundTrip, GivesTheSourceBack)
{
    const RoundTripCase& c = GetParam();
    CTempDir dir;
    dir.Write("x", c.bytes);
    ASSERT_EQ(RunMorvex(dir, {c.there, "x", "x.txt"}).exitCode, 0);
    const Outcome back = RunMorvex(dir, {c.back, "x.txt", "y"});
    EXPECT_EQ(back.exitCode, 0) << back.errors;
    EXPECT_EQ(CTempDir::Read(dir.Path("y")), c.bytes) << c.there << " then " << c.back;
}

const std::string kBytes = std::string("\x01\x02\x03\x04\xFF\xFE\xFD\xFC\x00\x80\x7F\x10", 12);

INSTANTIATE_TEST_SUITE_P(Units, CommandLineRoundTrip,
    testing::Values(RoundTripCase{"h", "b", kBytes}, RoundTripCase{"h2", "b2", kBytes},
        RoundTripCase{"h3", "b3", kBytes}, RoundTripCase{"h4", "b4", kBytes},
        RoundTripCase{"h5", "b5", kBytes.substr(0, 10)}, RoundTripCase{"h9", "b9", kBytes + kBytes.substr(0, 6)},
        RoundTripCase{"b2", "h2", "0x0201,0xFFFE,"}, RoundTripCase{"i2", "i2", "0x0102,0xFEFF,"},
        RoundTripCase{"i4", "i4", "0x01020304,0xFEFDFCFB,"}));

struct FailureCase
{
    const char* name;
    std::vector<std::string> args;   // in a folder holding "in" (0x41,) and "fw.h"
    std::string fwH;                 // the C source "fw.h"
    int exitCode;
    std::string errors;
};

class CommandLineFailure : public testing::TestWithParam<FailureCase>
{};

// Each kind of failure, as a script sees it: the exit code and one message
// on standard error, nothing on standard output, no file made. What each
// leaves of the files is the engine's, tested in tests/fileio.
TEST_P(CommandLineFailure, ExitsWithItsCodeAndMessage)
{
    const FailureCase& c = GetParam();
    CTempDir dir;
    dir.Write("in", "0x41,");
    dir.Write("fw.h", c.fwH);
    const Outcome outcome = RunMorvex(dir, c.args);
    EXPECT_EQ(outcome.exitCode, c.exitCode);
    EXPECT_EQ(outcome.errors, c.errors);
    EXPECT_EQ(outcome.output, "");
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out")));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Kinds, CommandLineFailure,
    testing::Values(
        // Which options are refused is the parser's (ParseOption below).
        FailureCase{"UnknownOption", {"h12", "in", "out"}, "", 2, "morvex: unknown option 'h12'\n" + kUsage},
        // Which options before it are refused, and why, is the parser's (CommandLineParserTest).
        FailureCase{"UnknownOptionBefore", {"--arrray", "t", "c", "fw.h", "out"}, "", 2,
            "morvex: unknown option '--arrray'\n" + kUsage},
        FailureCase{"OptionOfAnotherConversion", {"--abi", "arm-eabi", "h", "in", "out"}, "", 2,
            "morvex: option '--abi' is for c, c1 - c9, not 'h'\n" + kUsage},
        FailureCase{"UnknownAbi", {"--abi=x86", "c", "fw.h", "out"}, "", 2,
            "morvex: option '--abi' takes x86_64-linux, x86_64-windows or arm-eabi, not 'x86'\n" + kUsage},
        FailureCase{"OptionWithoutFiles", {"-DX", "c", "fw.h"}, "", 2, "morvex: missing destination_file\n" + kUsage},
        FailureCase{"MissingSource", {"h", "x.txt", "out"}, "", 1,
            "morvex: cannot open source file 'x.txt': No such file or directory\n"},
        FailureCase{"SameFile", {"i", "in", "./in"}, "", 1,
            "morvex: source and destination are the same file './in'\n"},
        // Only the command line reads C arrays: the dialogs keep their own three.
        FailureCase{"NotACArray", {"c2", "fw.h", "out"}, "int a[] = {\n#ifdef BIG\n1,\n#endif\n};", 1,
            "morvex: cannot read 'fw.h': line 2: the array's text depends on '#ifdef BIG', which the reader cannot "
            "decide: define or undefine its names with -D or -U\n"}),
    [](const testing::TestParamInfo<FailureCase>& row) { return std::string(row.param.name); });
// clang-format on

TEST(CommandLine, EveryErrorIsExactlyOneLineWhateverTheNames)
{
    CTempDir dir;
    struct Case
    {
        std::vector<std::string> args;
        std::string errors;
    };
    const Case cases[] = {
        {{"h", "miss\ning.bin", "out"},
            "morvex: cannot open source file $'miss\\ning.bin': No such file or directory\n"},
        {{"b", "\x1b[2Jx", "out"}, "morvex: cannot open source file $'\\E[2Jx': No such file or directory\n"},
#ifndef _WIN32
        // (Windows arguments are UTF-16: such a byte never reaches a program there)
        {{"i", "bad\xff.txt", "out"}, "morvex: cannot open source file $'bad\\xFF.txt': No such file or directory\n"},
#endif
        {{"x\r", "in", "out"}, "morvex: unknown option $'x\\r'\n" + kUsage},
    };
    for (const Case& c : cases) {
        const Outcome outcome = RunMorvex(dir, c.args);
        EXPECT_NE(outcome.exitCode, 0) << c.errors;
#ifdef _WIN32
        // Windows refuses such names with a reason of its own.
        const std::regex reason("': [^\n]*\n");
        EXPECT_EQ(std::regex_replace(outcome.errors, reason, "': <reason>\n"),
            std::regex_replace(c.errors, reason, "': <reason>\n"));
#else
        EXPECT_EQ(outcome.errors, c.errors);
#endif
    }
}

#ifndef _WIN32
// On Windows the dialogs need no display.
TEST(CommandLine, WithoutThreeArgumentsAndNoDisplayItPrintsTheUsage)
{
    CTempDir dir;
    const std::vector<std::vector<std::string>> argumentLists = {{}, {"h"}, {"h", "in"}, {"h", "in", "out", "more"}};
    for (const auto& args : argumentLists) {
        const Outcome outcome = RunMorvex(dir, args);
        EXPECT_EQ(outcome.exitCode, 2) << args.size() << " arguments";
        EXPECT_NE(outcome.errors.find(kUsage), std::string::npos) << outcome.errors;
        EXPECT_TRUE(std::filesystem::is_empty(dir.Root()));
    }
}
#endif

struct InformationCase
{
    std::vector<std::string> args;
    std::string output;
};

class CommandLineInformation : public testing::TestWithParam<InformationCase>
{};

// Works on any machine: the dialogs, their module and a display never come
// into it.
TEST_P(CommandLineInformation, GoesToStandardOutputWithoutTheDialogs)
{
    CTempDir dir;
    std::vector<std::string> programs{MORVEX_BINARY};
#ifndef _WIN32
    // A copy away from its dialogs module (on Windows the dialogs are linked in).
    programs.push_back(dir.Path("morvex"));
    std::filesystem::copy_file(MORVEX_BINARY, programs.back());
    std::filesystem::permissions(
        programs.back(), std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
#endif
    for (const std::string& program : programs) {
        const Outcome outcome = RunProgram(program, dir.Root(), GetParam().args);
        EXPECT_EQ(outcome.exitCode, 0) << program;
        EXPECT_EQ(outcome.errors, "") << program;
        EXPECT_EQ(outcome.output, GetParam().output) << program;
    }
}

const std::string kVersionLine = "morvex " MORVEX_VERSION "\n";

const InformationCase kInformationCases[] = {
    {{"--help"}, HelpText()},
    {{"-h"}, HelpText()},
#ifdef _WIN32
    {{"/?"}, HelpText()},
#endif
    {{"--version"}, VersionText()},
    {{"-V"}, VersionText()},
};

INSTANTIATE_TEST_SUITE_P(HelpAndVersion, CommandLineInformation, testing::ValuesIn(kInformationCases));

TEST(HelpText, BeginsWithTheUsageAndListsEveryOptionTheParserTakes)
{
    const std::string help = HelpText();
    EXPECT_EQ(help.rfind(kUsage + "\n", 0), 0u) << help;
    // Each option line: a tab, the option ("h" or "h1 - h9"), the description.
    const std::regex optionLine(R"(\t([a-z])(?:1 - ([a-z])9)? +(.*))");
    std::istringstream lines(help.substr(kUsage.size()));
    std::vector<std::string> listed;
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (!std::regex_match(line, match, optionLine))
            continue;
        const std::string letter = match[1];
        const bool unitRange = match[2].matched;
        for (int unit = unitRange ? 1 : 0; unit <= (unitRange ? 9 : 0); ++unit) {
            const std::string option = unit == 0 ? letter : letter + std::to_string(unit);
            const auto conversion = ParseOption(option);
            ASSERT_TRUE(conversion) << line;
            EXPECT_EQ(conversion->byteUnit, unit == 0 ? conversion->command->bareByteUnit : unit) << line;
            EXPECT_NE(match[3].str().find(conversion->command->optionSummary), std::string::npos) << line;
            listed.push_back(option);
        }
    }
    for (const CConversionCommand* command : kConversionCommands) {
        const std::string letter(1, command->option);
        EXPECT_NE(std::find(listed.begin(), listed.end(), letter), listed.end()) << letter;
        EXPECT_EQ(std::find(listed.begin(), listed.end(), letter + "9") != listed.end(), command->optionTakesByteUnit)
            << letter;
    }
    EXPECT_NE(help.find("\n\t-        as source_file: standard input; as destination_file: standard output\n"),
        std::string::npos)
        << help;
}

TEST(VersionText, NamesTheProjectVersionAndTheLicence)
{
    const std::string version = VersionText();
    EXPECT_EQ(version.rfind(kVersionLine, 0), 0u) << version;
    EXPECT_NE(version.find("MIT License"), std::string::npos) << version;
}

// What the dialog mode was asked for, by the program under test.
struct CDialogRequest
{
    int calls = 0;
    std::string sourcePath;
};
CDialogRequest g_dialogRequest;

constexpr int kDialogExitCode = 7;

int FakeDialogs(const CAppNames& /*names*/, const std::string& sourcePath, int /*argc*/, char* /*argv*/[])
{
    ++g_dialogRequest.calls;
    g_dialogRequest.sourcePath = sourcePath;
    return kDialogExitCode;
}

struct StartCase
{
    std::vector<std::string> args;   // "<dir>/" stands for the test's folder
    int exitCode;
    bool dialogs;
    std::string sourcePath;          // given to the dialogs
    std::string errors;
    std::string output;
};

class StartUp : public testing::TestWithParam<StartCase>
{};

TEST_P(StartUp, ChoosesTheDialogsOnlyWhenNoScriptCanHaveMeantAConversion)
{
    const StartCase& c = GetParam();
    CTempDir dir;
    dir.Write("in.bin", "AB");
    std::filesystem::create_directory(dir.Path("folder"));
    const auto inDir = [&](std::string text) {
        for (std::size_t at; (at = text.find("<dir>/")) != std::string::npos;)
            text.replace(at, 6, dir.Path(""));
        return text;
    };
    std::vector<std::string> args{"morvex"};
    for (const std::string& arg : c.args)
        args.push_back(inDir(arg));
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    g_dialogRequest = {};
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    CMorvexApp app;
    EXPECT_FALSE(app.StartUp(static_cast<int>(args.size()), argv.data(), FakeDialogs));
    const std::string output = testing::internal::GetCapturedStdout();
    const std::string errors = testing::internal::GetCapturedStderr();

    EXPECT_EQ(app.ExitCode(), c.exitCode);
    EXPECT_EQ(g_dialogRequest.calls, c.dialogs ? 1 : 0);
    EXPECT_EQ(g_dialogRequest.sourcePath, inDir(c.sourcePath));
    EXPECT_EQ(errors, inDir(c.errors));
    EXPECT_EQ(output, c.output);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Arguments, StartUp,
    testing::Values(
        StartCase{{}, kDialogExitCode, true, "", "", ""},
        // A file dropped on the program, or passed by a desktop entry.
        StartCase{{"<dir>/in.bin"}, kDialogExitCode, true, "<dir>/in.bin", "", ""},
        StartCase{{"<dir>/missing.bin"}, kDialogExitCode, true, "", "", ""},
        StartCase{{"<dir>/folder"}, kDialogExitCode, true, "", "", ""},
        StartCase{{"h"}, kDialogExitCode, true, "", "", ""},
        StartCase{{"-"}, kDialogExitCode, true, "", "", ""},
        // Too few or too many files for a conversion option: a script's mistake.
        StartCase{{"h", "<dir>/in.bin"}, 2, false, "", kUsage, ""},
        StartCase{{"b4", "in", "out", "more"}, 2, false, "", kUsage, ""},
        StartCase{{"i", "in", "out", "more", "still more"}, 2, false, "", kUsage, ""},
        StartCase{{"h9", "in", "out", "more"}, 2, false, "", kUsage, ""},
        // Not a conversion option: the dialogs, as before.
        StartCase{{"x", "<dir>/in.bin"}, kDialogExitCode, true, "", "", ""},
        StartCase{{"-platform", "offscreen"}, kDialogExitCode, true, "", "", ""},
        StartCase{{"H", "in", "out", "more"}, kDialogExitCode, true, "", "", ""},
        StartCase{{"--help", "more"}, kDialogExitCode, true, "", "", ""},
        StartCase{{"--help"}, 0, false, "", "", HelpText()},
        StartCase{{"-V"}, 0, false, "", "", VersionText()},
        StartCase{{"h", "<dir>/in.bin", "<dir>/out.txt"}, 0, false, "", "", ""},
        StartCase{{"h", "<dir>/missing.bin", "<dir>/out.txt"}, 1, false, "",
            "morvex: cannot open source file '<dir>/missing.bin': No such file or directory\n", ""},
        // Options before the conversion option: one of ours first, or any
        // option first and a conversion option with two files at the end.
        StartCase{{"-DX", "h", "<dir>/in.bin", "<dir>/out.txt"}, 2, false, "",
            "morvex: option '-D' is for c, c1 - c9, not 'h'\n" + kUsage, ""},
        StartCase{{"--array", "t"}, 2, false, "", "morvex: missing option\n" + kUsage, ""},
        StartCase{{"--", "h", "<dir>/in.bin", "<dir>/out.txt"}, 0, false, "", "", ""},
        StartCase{{"--arrray", "t", "c", "in", "out"}, 2, false, "", "morvex: unknown option '--arrray'\n" + kUsage, ""},
        StartCase{{"-platform", "offscreen", "-style", "fusion"}, kDialogExitCode, true, "", "", ""},
        StartCase{{"x", "c", "in", "out"}, kDialogExitCode, true, "", "", ""},
        StartCase{{"--array"}, kDialogExitCode, true, "", "", ""}));
// clang-format on

TEST(ParseOption, FollowsTheOptionTable)
{
    struct Case
    {
        const char* option;
        const CConversionCommand* command;
        int byteUnit;
    };
    const Case cases[] = {{"i", &kInvertText, 1}, {"b", &kTextToBin, 1}, {"h", &kBinToText, 1}, {"h7", &kBinToText, 7},
        {"h0", &kBinToText, 1}, {"h-", &kBinToText, 1}, {"i1", &kInvertText, 1}, {"i2", &kInvertText, 2},
        {"i9", &kInvertText, 9}, {"b1", &kTextToBin, 1}, {"b4", &kTextToBin, 4}, {"b9", &kTextToBin, 9},
        {"c", &kCSourceToBin, 0}, {"c1", &kCSourceToBin, 1}, {"c9", &kCSourceToBin, 9}};
    for (const Case& c : cases) {
        const auto conversion = ParseOption(c.option);
        ASSERT_TRUE(conversion) << c.option;
        EXPECT_EQ(conversion->command, c.command) << c.option;
        EXPECT_EQ(conversion->byteUnit, c.byteUnit) << c.option;
        EXPECT_EQ(conversion->lineUnit, 10) << c.option;
    }
    for (const std::string_view refused : {"h10", "h12", "", "i0", "b0", "ii", "bb", "bi", "bx", "x", "H", "I", "B",
             "i ", "i-", "b10", "b12", "-", "c0", "cc", "cx", "c10", "c12", "C"})
        EXPECT_FALSE(ParseOption(refused)) << refused;
}

} // namespace
