#include "CommandLine.h"
#include "ConversionCommands.h"
#include "ProgramRun.h"
#include "TempDir.h"
#include "Usage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
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
};

class CommandLineOption : public testing::TestWithParam<OptionCase>
{
};

TEST_P(CommandLineOption, ConvertsSilentlyWithItsUnitsAndLineUnit10)
{
    const OptionCase& c = GetParam();
    CTempDir dir;
    dir.Write("in", c.source);
    const Outcome outcome = RunMorvex(dir, {c.option, "in", "out"});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    EXPECT_EQ(outcome.errors, "");
    EXPECT_EQ(outcome.output, "");
    EXPECT_EQ(CTempDir::Read(dir.Path("out")), c.expected);
}

const std::string kTwelve = "ABCDEFGHIJKL";

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
        OptionCase{"i", "0x00,1,2,3,4,5,6,7,8,9,10", "0xFF,254,253,252,251,250,249,248,247,246,\r\n245,"}));

TEST(CommandLine, AnOptionThatMatchesNoRuleIsAUsageErrorAndCreatesNothing)
{
    CTempDir dir;
    dir.Write("in", "AB");
    for (const std::string option : {"H", "I", "B", "h12", "bi", "", "x", "ii"}) {
        const Outcome outcome = RunMorvex(dir, {option, "in", "out"});
        EXPECT_EQ(outcome.exitCode, 2) << "option '" << option << "'";
        EXPECT_EQ(outcome.errors, "morvex: unknown option '" + option + "'\n" + kUsage);
        EXPECT_FALSE(std::filesystem::exists(dir.Path("out"))) << "option '" << option << "'";
    }
}

TEST(CommandLine, AMissingSourceFailsAndLeavesTheDestinationAlone)
{
    CTempDir dir;
    dir.Write("out", "precious");
    for (const std::string option : {"h", "b", "i"}) {
        const Outcome outcome = RunMorvex(dir, {option, "x.txt", "out"});
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.errors, "morvex: cannot open source file 'x.txt': No such file or directory\n");
        EXPECT_EQ(CTempDir::Read(dir.Path("out")), "precious");
    }
}

TEST(CommandLine, FailuresExitWithOneAndNameTheReason)
{
    CTempDir dir;
    dir.Write("in", "0x41,");
    const Outcome sameFile = RunMorvex(dir, {"i", "in", "./in"});
    EXPECT_EQ(sameFile.exitCode, 1);
    EXPECT_EQ(sameFile.errors, "morvex: source and destination are the same file './in'\n");
    EXPECT_EQ(CTempDir::Read(dir.Path("in")), "0x41,");

#ifndef _WIN32
    const Outcome diskFull = RunMorvex(dir, {"b", "in", "/dev/full"});
    EXPECT_EQ(diskFull.exitCode, 1);
    EXPECT_EQ(diskFull.errors, "morvex: cannot write destination file '/dev/full': No space left on device\n");
#endif
}

TEST(CommandLine, EveryErrorIsExactlyOneLineWhateverTheNames)
{
    CTempDir dir;
    struct Case
    {
        std::vector<std::string> args;
        std::string errors;
    };
    const Case cases[] = {
        {{"h", "miss\ning.bin", "out"}, "morvex: cannot open source file $'miss\\ning.bin': No such file or directory\n"},
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

TEST(ParseOption, FollowsTheOptionTable)
{
    struct Case
    {
        const char* option;
        const CConversionCommand* command;
        int byteUnit;
    };
    const Case cases[] = {{"i", &kInvertText, 1}, {"b", &kTextToBin, 1}, {"h", &kBinToText, 1},
        {"h7", &kBinToText, 7}, {"h0", &kBinToText, 1}, {"h-", &kBinToText, 1}};
    for (const Case& c : cases) {
        const auto conversion = ParseOption(c.option);
        ASSERT_TRUE(conversion) << c.option;
        EXPECT_EQ(conversion->command, c.command) << c.option;
        EXPECT_EQ(conversion->byteUnit, c.byteUnit) << c.option;
        EXPECT_EQ(conversion->lineUnit, 10) << c.option;
    }
    for (const std::string_view refused : {"h10", "", "i1", "b9", "ii", "x", "H", "B", "i "})
        EXPECT_FALSE(ParseOption(refused)) << refused;
}

} // namespace
