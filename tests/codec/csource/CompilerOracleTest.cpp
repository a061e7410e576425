#include "CompilerOracle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Layouts each platform's ABI fixes, so a wrong section, a padded length or
// a source's bytes taken from its neighbour's object shows.
struct OracleCase
{
    CAbiName abi;
    COracleSource source;
    std::string bytes;   // hex, spaces ignored; "!" and a fragment: the compiler refuses with it
};

const OracleCase kOracleCases[] = {
    {CAbiName::X86_64Linux, {"int a[] = {1, -2};"}, "01000000 feffffff"},
    {CAbiName::X86_64Linux, {"const unsigned short a[] = {0x1234, 5};"}, "3412 0500"},
    {CAbiName::X86_64Linux, {"unsigned char a[5] = {0};"}, "0000000000"},
    {CAbiName::X86_64Linux, {"int a[] = {x};"}, "!'x' undeclared"},
    {CAbiName::X86_64Linux, {"struct s { char c; int i; } a[] = {{1, 2}, {3, 4}};"},
        "01000000 02000000 03000000 04000000"},
    {CAbiName::X86_64Linux, {"long a[] = {1};"}, "0100000000000000"},
    {CAbiName::X86_64Linux, {"static const unsigned char a[] = {7};"}, "07"},
    {CAbiName::X86_64Linux, {"unsigned char b[] = {1};\nunsigned char c[] = {2, 3};", "c"}, "0203"},
    {CAbiName::X86_64Linux, {"int a[] = {N, M};", "a", {{"N", "5", false}, {"M", "N + 1", false}}},
        "05000000 06000000"},
    {CAbiName::X86_64Linux,
        {"#ifdef N\nchar a[] = {1};\n#else\nchar a[] = {2};\n#endif", "a", {{"N", "1", false}, {"N", "", true}}}, "02"},
    {CAbiName::X86_64Linux, {"#include <no-such-header.h>\nint a[] = {1};"}, "!no-such-header.h"},
    {CAbiName::X86_64Linux, {"char a[] = \"AB\";"}, "414200"},
    {CAbiName::X86_64Windows, {"long a[] = {1};"}, "01000000"},
    {CAbiName::X86_64Windows, {"const unsigned char a[] = {1, 2, 3};"}, "010203"},
    {CAbiName::X86_64Windows, {"wchar_t a[] = L\"h\";"}, "6800 0000"},
    {CAbiName::X86_64Windows, {"int a[] = {y};"}, "!'y' undeclared"},
    {CAbiName::X86_64Windows, {"struct s { char c; long long x; } a[] = {{1, 2}};"},
        "0100000000000000 0200000000000000"},
    {CAbiName::ArmEabi, {"long a[] = {1};"}, "01000000"},
    {CAbiName::ArmEabi, {"enum e { A = 1 } a[] = {A, 2};"}, "0102"},
    {CAbiName::ArmEabi, {"struct s { int i; char c; } a[] = {{1, 2}};"}, "01000000 02000000"},
    {CAbiName::ArmEabi, {"char16_t a[] = u\"A\";"}, "4100 0000"},
    {CAbiName::ArmEabi, {"const double a[] = {1.0};"}, "000000000000f03f"},
    {CAbiName::ArmEabi, {"char a[] = {-1};"}, "ff"},
};

std::string WithoutSpaces(std::string text)
{
    std::erase(text, ' ');
    return text;
}

class CCompilerOracleLayouts : public testing::TestWithParam<CAbiName>
{};

// Every case of one platform in one run, as the oracle is meant to be used.
TEST_P(CCompilerOracleLayouts, GivesEachSourceItsOwnObjectBytes)
{
    std::vector<COracleSource> sources;
    std::vector<std::string> expected;
    for (const OracleCase& c : kOracleCases) {
        if (c.abi == GetParam()) {
            sources.push_back(c.source);
            expected.push_back(c.bytes);
        }
    }
    const COracleRun run = CompileWithOracle(GetParam(), sources);
    if (!run.missing.empty())
        GTEST_SKIP() << "no " << run.missing << " for " << AbiNameOf(GetParam());
    ASSERT_EQ(run.results.size(), sources.size());
    for (std::size_t k = 0; k < sources.size(); ++k) {
        const COracleResult& result = run.results[k];
        if (expected[k].starts_with('!')) {
            EXPECT_FALSE(result.compiled) << sources[k].text;
            EXPECT_NE(result.error.find(expected[k].substr(1)), std::string::npos) << result.error;
            EXPECT_FALSE(result.error.starts_with("s")) << "the file name is taken off: " << result.error;
            continue;
        }
        EXPECT_TRUE(result.compiled) << sources[k].text << "\n" << result.error;
        EXPECT_TRUE(result.found) << sources[k].text;
        EXPECT_EQ(Hex(result.bytes), WithoutSpaces(expected[k])) << sources[k].text;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Platforms, CCompilerOracleLayouts,
    testing::Values(CAbiName::X86_64Linux, CAbiName::X86_64Windows, CAbiName::ArmEabi),
    [](const testing::TestParamInfo<CAbiName>& abi) {
        std::string name(AbiNameOf(abi.param));
        std::erase(name, '-');
        return name;
    });
// clang-format on

TEST(CCompilerOracle, RefusesASymbolThatIsNoIdentifier)
{
    const std::vector<COracleSource> sources = {{"int a[] = {1};", "a;rm"}, {"int a[] = {2};"}};
    const COracleRun run = CompileWithOracle(CAbiName::X86_64Linux, sources);
    if (!run.missing.empty())
        GTEST_SKIP() << "no " << run.missing;
    ASSERT_EQ(run.results.size(), 2U);
    EXPECT_FALSE(run.results[0].compiled);
    EXPECT_EQ(Hex(run.results[1].bytes), "02000000");
}

} // namespace
