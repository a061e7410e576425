#include "CommandLineParser.h"
#include "ConversionCommands.h"
#include "Help.h"
#include "Usage.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A request in one line, for tables: "c2 a.h>out array=t abi=arm-eabi -DX=1 -UY".
std::string Rendered(const CCommandLineRequest& request)
{
    const CSourceOptions& options = request.settings.cSource;
    std::string text = std::string(1, request.conversion.command->option) + std::to_string(request.conversion.byteUnit)
        + " " + std::string(request.sourcePath) + ">" + std::string(request.destPath);
    if (!options.arrayName.empty())
        text += " array=" + options.arrayName;
    text += " abi=" + std::string(AbiNameOf(options.abi));
    for (const CMacroOption& macro : options.macros)
        text += macro.undefine ? " -U" + macro.name : " -D" + macro.name + "=" + macro.value;
    return text;
}

struct AcceptedCase
{
    std::vector<std::string_view> args;
    std::string request;
};

void PrintTo(const AcceptedCase& c, std::ostream* out)
{
    *out << c.request;
}

class ParseCommandLineAccepts : public testing::TestWithParam<AcceptedCase>
{};

TEST_P(ParseCommandLineAccepts, EveryFormOfEachOption)
{
    const CCommandLineParse parse = ParseCommandLine(GetParam().args);
    ASSERT_TRUE(parse.request) << parse.error;
    EXPECT_EQ(parse.error, "");
    EXPECT_EQ(Rendered(*parse.request), GetParam().request);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Forms, ParseCommandLineAccepts,
    testing::Values(
        AcceptedCase{{"c", "a.h", "out"}, "c0 a.h>out abi=x86_64-linux"},
        AcceptedCase{{"h4", "a.bin", "out"}, "h4 a.bin>out abi=x86_64-linux"},
        AcceptedCase{{"--array", "crc_table", "c", "crc.c", "t.bin"}, "c0 crc.c>t.bin array=crc_table abi=x86_64-linux"},
        AcceptedCase{{"--array=t", "c2", "a", "b"}, "c2 a>b array=t abi=x86_64-linux"},
        // A separate value is taken whole, as getopt takes it.
        AcceptedCase{{"--array", "-D", "c", "a", "b"}, "c0 a>b array=-D abi=x86_64-linux"},
        AcceptedCase{{"--array=a=b", "c", "a", "b"}, "c0 a>b array=a=b abi=x86_64-linux"},
        AcceptedCase{{"-D", "USE_TABLE", "c", "a", "b"}, "c0 a>b abi=x86_64-linux -DUSE_TABLE=1"},
        AcceptedCase{{"-DUSE_TABLE", "c", "a", "b"}, "c0 a>b abi=x86_64-linux -DUSE_TABLE=1"},
        AcceptedCase{{"-DX=5", "c", "a", "b"}, "c0 a>b abi=x86_64-linux -DX=5"},
        AcceptedCase{{"-D", "X=5", "c", "a", "b"}, "c0 a>b abi=x86_64-linux -DX=5"},
        AcceptedCase{{"-DX=", "c", "a", "b"}, "c0 a>b abi=x86_64-linux -DX="},
        AcceptedCase{{"-DX==", "c", "a", "b"}, "c0 a>b abi=x86_64-linux -DX=="},
        AcceptedCase{{"-D_x9", "c", "a", "b"}, "c0 a>b abi=x86_64-linux -D_x9=1"},
        AcceptedCase{{"-D", "F(x)=x", "c", "a", "b"}, "c0 a>b abi=x86_64-linux -DF(x)=x"},
        AcceptedCase{{"-DF(a, b)=a+b", "c", "a", "b"}, "c0 a>b abi=x86_64-linux -DF(a, b)=a+b"},
        AcceptedCase{{"-DF()", "c", "a", "b"}, "c0 a>b abi=x86_64-linux -DF()=1"},
        AcceptedCase{{"-U", "X", "c", "a", "b"}, "c0 a>b abi=x86_64-linux -UX"},
        AcceptedCase{{"-UX", "c", "a", "b"}, "c0 a>b abi=x86_64-linux -UX"},
        // In the order given, as a compiler applies them.
        AcceptedCase{{"-DX", "-UX", "-D", "X=2", "-UY", "c", "a", "b"},
            "c0 a>b abi=x86_64-linux -DX=1 -UX -DX=2 -UY"},
        AcceptedCase{{"--abi", "x86_64-windows", "c", "a", "b"}, "c0 a>b abi=x86_64-windows"},
        AcceptedCase{{"--abi=arm-eabi", "c1", "a", "b"}, "c1 a>b abi=arm-eabi"},
        AcceptedCase{{"--abi=x86_64-linux", "c", "a", "b"}, "c0 a>b abi=x86_64-linux"},
        AcceptedCase{{"--abi", "arm-eabi", "-DA", "--array", "t", "-UB", "c9", "a", "b"},
            "c9 a>b array=t abi=arm-eabi -DA=1 -UB"},
        // "--" ends the options: a source named like one follows.
        AcceptedCase{{"--", "c", "-x", "out"}, "c0 -x>out abi=x86_64-linux"},
        AcceptedCase{{"-DX", "--", "c", "--", "-DY"}, "c0 -->-DY abi=x86_64-linux -DX=1"},
        AcceptedCase{{"-DX", "c", "-", "-"}, "c0 ->- abi=x86_64-linux -DX=1"}));
// clang-format on

struct RefusedCase
{
    const char* name;
    std::vector<std::string_view> args;
    std::string error;
};

class ParseCommandLineRefuses : public testing::TestWithParam<RefusedCase>
{};

TEST_P(ParseCommandLineRefuses, WithOneLineSayingWhy)
{
    const CCommandLineParse parse = ParseCommandLine(GetParam().args);
    EXPECT_FALSE(parse.request);
    EXPECT_EQ(parse.error, GetParam().error);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Mistakes, ParseCommandLineRefuses,
    testing::Values(
        RefusedCase{"ArrayWithH", {"--array", "t", "h", "a", "b"}, "option '--array' is for c, c1 - c9, not 'h'"},
        RefusedCase{"AbiWithB4", {"--abi=arm-eabi", "b4", "a", "b"}, "option '--abi' is for c, c1 - c9, not 'b4'"},
        RefusedCase{"DefineWithI", {"-DX", "i", "a", "b"}, "option '-D' is for c, c1 - c9, not 'i'"},
        RefusedCase{"UndefineWithH2", {"-UX", "h2", "a", "b"}, "option '-U' is for c, c1 - c9, not 'h2'"},
        RefusedCase{"ArrayTwice", {"--array", "a", "--array=b", "c", "a", "b"}, "option '--array' is given twice"},
        RefusedCase{"SameArrayTwice", {"--array=a", "--array=a", "c", "a", "b"}, "option '--array' is given twice"},
        RefusedCase{"AbiTwice", {"--abi", "x86_64-linux", "--abi=arm-eabi", "c", "a", "b"},
            "option '--abi' is given twice"},
        RefusedCase{"UnknownLong", {"--bogus", "c", "a", "b"}, "unknown option '--bogus'"},
        RefusedCase{"LongNameRunOn", {"--arrayx=t", "c", "a", "b"}, "unknown option '--arrayx=t'"},
        RefusedCase{"NoAbbreviations", {"--arr=t", "c", "a", "b"}, "unknown option '--arr=t'"},
        RefusedCase{"UnknownShort", {"-x", "c", "a", "b"}, "unknown option '-x'"},
        RefusedCase{"ShortIsCaseSensitive", {"-dX", "c", "a", "b"}, "unknown option '-dX'"},
        RefusedCase{"DefineAsLong", {"--D", "X", "c", "a", "b"}, "unknown option '--D'"},
        RefusedCase{"ControlCharacterQuoted", {"--arr\nay", "c", "a", "b"}, "unknown option $'--arr\\nay'"},
        RefusedCase{"ArrayWithoutValue", {"--array"}, "option '--array' needs a value"},
        RefusedCase{"AbiWithoutValue", {"-DX", "--abi"}, "option '--abi' needs a value"},
        RefusedCase{"DefineWithoutValue", {"-D"}, "option '-D' needs a value"},
        RefusedCase{"UndefineWithoutValue", {"-DX", "-U"}, "option '-U' needs a value"},
        RefusedCase{"EmptyArrayAttached", {"--array=", "c", "a", "b"}, "option '--array' needs a name"},
        RefusedCase{"EmptyArray", {"--array", "", "c", "a", "b"}, "option '--array' needs a name"},
        RefusedCase{"EmptyDefine", {"-D", "", "c", "a", "b"}, "option '-D' needs a name"},
        RefusedCase{"DefineOfValueOnly", {"-D=1", "c", "a", "b"}, "option '-D' needs a name"},
        RefusedCase{"EmptyUndefine", {"-U", "", "c", "a", "b"}, "option '-U' needs a name"},
        RefusedCase{"DefineOfNumber", {"-D1X", "c", "a", "b"}, "option '-D' takes a macro name, not '1X'"},
        RefusedCase{"DefineOfTwoWords", {"-D", "X Y", "c", "a", "b"}, "option '-D' takes a macro name, not 'X Y'"},
        RefusedCase{"DefineOfDashedName", {"-DA-B=1", "c", "a", "b"}, "option '-D' takes a macro name, not 'A-B'"},
        RefusedCase{"UnclosedParameters", {"-DF(x=x", "c", "a", "b"}, "option '-D' takes a macro name, not 'F(x'"},
        RefusedCase{"ParametersOfNumber", {"-D1(x)=x", "c", "a", "b"}, "option '-D' takes a macro name, not '1(x)'"},
        RefusedCase{"UndefineWithParameters", {"-UF(x)", "c", "a", "b"}, "option '-U' takes a macro name, not 'F(x)'"},
        RefusedCase{"UndefineWithValue", {"-UX=1", "c", "a", "b"}, "option '-U' takes a macro name, not 'X=1'"},
        RefusedCase{"NonAsciiName", {"-D\xC3\xA9", "c", "a", "b"}, "option '-D' takes a macro name, not '\xC3\xA9'"},
        RefusedCase{"UnknownAbi", {"--abi", "x86", "c", "a", "b"},
            "option '--abi' takes x86_64-linux, x86_64-windows or arm-eabi, not 'x86'"},
        RefusedCase{"AbiIsCaseSensitive", {"--abi=X86_64-LINUX", "c", "a", "b"},
            "option '--abi' takes x86_64-linux, x86_64-windows or arm-eabi, not 'X86_64-LINUX'"},
        RefusedCase{"EmptyAbi", {"--abi=", "c", "a", "b"},
            "option '--abi' takes x86_64-linux, x86_64-windows or arm-eabi, not ''"},
        RefusedCase{"NoConversion", {"-DX"}, "missing option"},
        RefusedCase{"NoConversionAfterTheEnd", {"-DX", "--"}, "missing option"},
        RefusedCase{"NoSource", {"-DX", "c"}, "missing source_file"},
        RefusedCase{"NoDestination", {"-DX", "c", "a"}, "missing destination_file"},
        RefusedCase{"OneFileTooMany", {"-DX", "c", "a", "b", "d"}, "unexpected argument 'd'"},
        RefusedCase{"OptionAfterTheConversion", {"c", "-DX", "a", "b"}, "unexpected argument 'b'"},
        RefusedCase{"UnknownConversion", {"-DX", "c0", "a", "b"}, "unknown option 'c0'"},
        RefusedCase{"StreamAsConversion", {"-DX", "-", "a", "b"}, "unknown option '-'"},
        RefusedCase{"OptionAfterTheEnd", {"--", "-DX", "a", "b"}, "unknown option '-DX'"}),
    [](const testing::TestParamInfo<RefusedCase>& row) { return std::string(row.param.name); });
// clang-format on

// The usage and the help name every option of the table, with its value.
TEST(ParseCommandLineHelp, ListsEveryOptionOfTheTable)
{
    const std::string help = HelpText();
    for (const CCommandLineOption& option : CommandLineOptions()) {
        const std::string written = OptionName(option) + " " + std::string(option.valueName);
        EXPECT_NE(std::string_view(kUsageText).find(written), std::string_view::npos) << written;
        EXPECT_NE(help.find("\t" + written + " "), std::string::npos) << written;
        EXPECT_NE(help.find(std::string(option.summary) + "\n"), std::string::npos) << written;
        EXPECT_NE(help.find("\nBefore " + ConversionsOf(option)), std::string::npos) << written;
    }
}

} // namespace
