#include "CompilerOracle.h"
#include "ExpressionTesting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr CAbiName kLinux = CAbiName::X86_64Linux;
constexpr CAbiName kWindows = CAbiName::X86_64Windows;
constexpr CAbiName kArm = CAbiName::ArmEabi;

// An #if's expression and its value: decimal, "u" after an unsigned one;
// "!" and a fragment of the refusal.
struct PreprocessorCase
{
    CAbiName abi;
    std::string_view expression;
    std::string_view expected;
};

// clang-format off
const PreprocessorCase kPreprocessorCases[] = {
    {kLinux, "1 + 2 * 3 - 8 / 4 % 3", "5"},
    {kLinux, "-1 < 0u", "0"},
    {kLinux, "0xFFFFFFFFFFFFFFFF", "18446744073709551615u"},
    {kLinux, "18446744073709551615", "18446744073709551615u"},
    {kLinux, "0x7fffffff + 1", "2147483648"},
    {kLinux, "-7 / 2 * 10 + -7 % 3", "-31"},
    {kLinux, "-9223372036854775807 - 1", "-9223372036854775808"},
    {kLinux, "1 << 63", "-9223372036854775808"},
    {kLinux, "-1 >> 1", "-1"},
    {kLinux, "~0u >> 60", "15u"},
    {kLinux, "~0", "-1"},
    {kLinux, "!5 + !0", "1"},
    {kLinux, "1 ? -1 : 0u", "18446744073709551615u"},
    {kLinux, "(1 ? 2 : 3) == 2 && 4 > 3", "1"},
    {kLinux, "0 && 1 / 0", "0"},
    {kLinux, "1 || 1 % 0", "1"},
    {kLinux, "(2 || 1 / 0) + 1", "2"},
    {kLinux, "1 ? 2 : 1 / 0", "2"},
    {kLinux, "0 ? 1 / 0 : 3", "3"},
    {kLinux, "1 ? 1 : 1 % 0u", "1"},
    {kLinux, "1 ? 1 : 1 / (0u * 5)", "1"},
    {kLinux, "1 ? 1 : 1u / 0", "1u"},
    {kLinux, "1 ? 1 : 1 + 0u", "1u"},
    {kLinux, "UNDEFINED_NAME + 1", "1"},
    {kLinux, "ONE + NEG", "0"},
    {kLinux, "'\\xff'", "-1"},
    {kArm, "'\\xff'", "255u"},
    {kArm, "'a' - 'b' < 0", "0"},
    {kLinux, "'a' - 'b' < 0", "1"},
    {kLinux, "'ab'", "24930"},
    {kLinux, "'\\xff\\xff\\xff\\xff'", "-1"},
    {kWindows, "L'\\xff'", "255u"},
    {kLinux, "L'\\xff'", "255"},
    {kLinux, "U'A' - 66", "18446744073709551615u"},
    {kLinux, "9223372036854775807 + 1", "!overflows"},
    {kLinux, "-9223372036854775807 - 2", "!overflows"},
    {kLinux, "4611686018427387904 * 2", "!overflows"},
    {kLinux, "(-9223372036854775807 - 1) / -1", "!overflows"},
    {kLinux, "(-9223372036854775807 - 1) % -1", "!overflows"},
    {kLinux, "-(-9223372036854775807 - 1)", "!overflows"},
    {kLinux, "1 / 0", "!divides by zero"},
    {kLinux, "1 % (2 - 2)", "!divides by zero"},
    {kLinux, "1 << 64", "!width"},
    {kLinux, "1 >> -1", "!negative count"},
    {kLinux, "-1 << 1", "!negative value"},
    {kLinux, "1.0", "!floating"},
    {kLinux, "\"s\"", "!string"},
    {kLinux, "1, 2", "!comma"},
    {kLinux, "(1, 2)", "!comma"},
    {kLinux, "", "!empty"},
    {kLinux, "1 2", "!'2'"},
    {kLinux, "(1", "!')'"},
    {kLinux, "1 ? 2", "!':'"},
    {kLinux, "1 +", "!value"},
    {kLinux, "sizeof(int)", "!'('"},
    {kLinux, "(int)1", "!'1'"},
};
// clang-format on

std::string PreprocessorValue(const CEvaluatedConstant& evaluated)
{
    if (!evaluated.refusal.empty())
        return "!" + evaluated.refusal;
    const CIntegerValue& value = evaluated.value.integer;
    EXPECT_EQ(value.width, 8) << "an #if's integers are intmax_t or uintmax_t";
    return value.isSigned ? std::to_string(value.Signed()) : std::to_string(value.bits) + "u";
}

bool Matches(const std::string& actual, std::string_view expected)
{
    return expected.starts_with('!') ? actual.starts_with('!') && actual.find(expected.substr(1)) != std::string::npos
                                     : actual == expected;
}

class CPreprocessorExpression : public testing::TestWithParam<PreprocessorCase>
{};

TEST_P(CPreprocessorExpression, HasTheValueGccsPreprocessorGives)
{
    const PreprocessorCase& c = GetParam();
    CTestNames names(AbiFor(c.abi), CExpressionMode::Preprocessor);
    const std::vector<CExprToken> tokens = ExpressionTokens(c.expression);
    const std::string actual
        = PreprocessorValue(EvaluateConstant(tokens, AbiFor(c.abi), names, CExpressionMode::Preprocessor));
    EXPECT_TRUE(Matches(actual, c.expected)) << c.expression << " gave " << actual;
}

INSTANTIATE_TEST_SUITE_P(Rows, CPreprocessorExpression, testing::ValuesIn(kPreprocessorCases));

// A program's constant stored in an element of a type: its bytes in hex, or
// "!" and a fragment of the refusal.
struct ProgramCase
{
    CAbiName abi;
    std::string_view type;
    std::string_view expression;
    std::string_view expected;
};

// clang-format off
const ProgramCase kProgramCases[] = {
    {kLinux, "int", "-1L < 1U", "01000000"},
    {kWindows, "int", "-1L < 1U", "00000000"},
    {kArm, "int", "-1L < 1U", "00000000"},
    {kLinux, "int", "-1 < 0u", "00000000"},
    {kLinux, "long long", "0xFFFFFFFF + 1", "0000000000000000"},
    {kLinux, "long long", "4294967295 + 1", "0000000001000000"},
    {kLinux, "long long", "2147483648 + 1", "0100008000000000"},
    {kLinux, "long long", "1 ? -1 : 0u", "ffffffff00000000"},
    {kLinux, "long long", "sizeof(int) - 5", "ffffffffffffffff"},
    {kArm, "long long", "sizeof(int) - 5", "ffffffff00000000"},
    {kLinux, "int", "10 % 3 * 2 - 7 / 2", "ffffffff"},
    {kLinux, "int", "1 + 2 << 3 | 1 ^ 3 & 2", "1b000000"},
    {kLinux, "int", "~0u >> 28", "0f000000"},
    {kLinux, "int", "-8 >> 1", "fcffffff"},
    {kLinux, "int", "1 << 31", "00000080"},
    {kLinux, "int", "-2147483647 - 1", "00000080"},
    {kLinux, "int", "ONE + NEG * 3", "feffffff"},
    {kLinux, "int", "0 && 1 / 0", "00000000"},
    {kLinux, "int", "1 || 1 / 0", "01000000"},
    {kLinux, "int", "0 ? 1 / 0 : 2", "02000000"},
    {kLinux, "long long", "1 ? -1 : 1 / 0u", "ffffffff00000000"},
    {kLinux, "int", "sizeof(1 / 0)", "04000000"},
    {kLinux, "int", "sizeof(int[3]) + sizeof(short)", "0e000000"},
    {kLinux, "int", "true + true", "02000000"},
    {kLinux, "int", "'\\xff'", "ffffffff"},
    {kArm, "int", "'\\xff'", "ff000000"},
    {kLinux, "int", "'ab'", "62610000"},
    {kLinux, "int", "L'\xc3\xa9'", "e9000000"},
    {kLinux, "int", "(wchar_t)-1 < 0", "01000000"},
    {kWindows, "int", "(wchar_t)-1 < 0", "00000000"},
    {kArm, "int", "(wchar_t)-1 < 0", "00000000"},
    {kLinux, "int", "u'\\xff' + 1", "00010000"},
    {kLinux, "int", "(char)200", "c8ffffff"},
    {kArm, "int", "(char)200", "c8000000"},
    {kLinux, "char", "200", "c8"},
    {kLinux, "unsigned char", "(uint8_t)0x1ff", "ff"},
    {kLinux, "unsigned", "65535u * 65537u", "ffffffff"},
    {kLinux, "long", "-1", "ffffffffffffffff"},
    {kWindows, "long", "-1", "ffffffff"},
    {kLinux, "size_t", "sizeof(long)", "0800000000000000"},
    {kWindows, "size_t", "sizeof(long)", "0400000000000000"},
    {kArm, "size_t", "sizeof(long)", "04000000"},
    {kLinux, "uint_fast16_t", "70000", "7011010000000000"},
    {kWindows, "uint_fast16_t", "70000", "7011"},
    {kArm, "uint_fast16_t", "70000", "70110100"},
    {kWindows, "wchar_t", "L'A'", "4100"},
    {kLinux, "float", "1.0f / 3", "abaaaa3e"},
    {kLinux, "float", "16777216.0f + 1.0f + 1.0f", "0000804b"},
    {kLinux, "float", "16777216.0 + 1.0 + 1.0", "0100804b"},
    {kLinux, "float", "16777217", "0000804b"},
    {kLinux, "float", "3", "00004040"},
    {kLinux, "float", "0xFFFFFFFFFFFFFFFF", "0000805f"},
    {kLinux, "float", "0x8000008000000001", "0100005f"},
    {kLinux, "float", "1.00000005960464477539062500001f", "0100803f"},
    {kLinux, "float", "1.00000005960464477539062500001", "0000803f"},
    {kLinux, "float", "0x1.8p1f", "00004040"},
    {kLinux, "float", "(float)16777217", "0000804b"},
    {kLinux, "double", "1e-310", "2be6708b68120000"},
    {kLinux, "float", "1e-40f", "c2160100"},
    {kLinux, "double", "-0.0", "0000000000000080"},
    {kWindows, "long long", "2147483648L + 4294967295", "ffffff7f01000000"},
    {kArm, "long long", "0x80000000L - 1", "ffffff7f00000000"},
    {kLinux, "double", "0.1", "9a9999999999b93f"},
    {kLinux, "double", "0.1f", "000000a09999b93f"},
    {kLinux, "double", "(double)(float)0.1", "000000a09999b93f"},
    {kLinux, "double", "0x1.8p1", "0000000000000840"},
    {kLinux, "double", "1e+2 + .5 + 1.", "0000000000605940"},
    {kLinux, "double", "1 ? 2 : 3.0f", "0000000000000040"},
    {kLinux, "int", "(int)2.9 + (int)-2.9", "00000000"},
    {kLinux, "int", "-0.9", "00000000"},
    {kLinux, "unsigned", "3000000000.0", "005ed0b2"},
    {kLinux, "unsigned", "-0.5", "00000000"},
    {kLinux, "int", "0x1p-2 < 0.3", "01000000"},
    {kLinux, "int", "(float)0.1 == 0.1f", "01000000"},
    {kLinux, "int", "0.1f == 0.1", "00000000"},
    {kLinux, "bool", "0.5", "01"},
    {kLinux, "bool", "256", "01"},
    {kLinux, "int", "2147483647 + 1", "!overflows"},
    {kLinux, "int", "0x7fffffff + 1", "!overflows"},
    {kLinux, "int", "(unsigned short)65535 * (unsigned short)65535", "!overflows"},
    {kLinux, "long long", "9223372036854775807 + 1", "!overflows"},
    {kLinux, "int", "(-2147483647 - 1) / -1", "!overflows"},
    {kLinux, "int", "(-2147483647 - 1) % -1", "!overflows"},
    {kLinux, "int", "-(-2147483647 - 1)", "!overflows"},
    {kLinux, "int", "-1 << 1", "!negative value"},
    {kLinux, "int", "1 << 32", "!width"},
    {kLinux, "int", "1 / 0", "!divides by zero"},
    {kLinux, "int", "sizeof 'a'", "!character literal"},
    {kLinux, "int", "3000000000.0", "!range"},
    {kLinux, "unsigned", "-1.0", "!range"},
    {kLinux, "float", "1e39", "!range"},
    {kLinux, "float", "3.40282357e38", "!range"},
    {kLinux, "float", "3.4028234663852886e38", "ffff7f7f"},
    {kLinux, "double", "1e308 * 10", "!overflows"},
    {kLinux, "double", "1e999", "!range"},
    {kLinux, "double", "1.0 / 0", "!divides by zero"},
    {kLinux, "int", "1.5 % 2", "!floating operand"},
    {kLinux, "int", "0 ? 1.5 % 2 : 1", "!floating operand"},
    {kLinux, "double", "1.0L", "!long double"},
    {kLinux, "double", "0x1.8", "!not a valid number"},
    {kLinux, "int", "1, 2", "!comma"},
    {kLinux, "int", "\"ab\"", "!string"},
    {kLinux, "int", "UNDEFINED_NAME", "!does not define"},
    {kLinux, "int", "'abcde'", "!more characters"},
    {kLinux, "int", "u'\xf0\x9f\x98\x80'", "!does not fit"},
};
// clang-format on

std::string ProgramBytes(const ProgramCase& c)
{
    const CAbi& abi = AbiFor(c.abi);
    CTestNames names(abi, CExpressionMode::Program);
    const std::vector<CExprToken> tokens = ExpressionTokens(c.expression);
    const CEvaluatedConstant evaluated = EvaluateConstant(tokens, abi, names, CExpressionMode::Program);
    if (!evaluated.refusal.empty())
        return "!" + evaluated.refusal;
    const std::optional<CScalarType> type = TypeOfWords(abi, c.type);
    if (!type)
        return "!no type " + std::string(c.type);
    const CElementBytes stored = StoreAs(evaluated.value, *type);
    if (!stored.refusal.empty())
        return "!" + stored.refusal;
    return Hex({reinterpret_cast<const char*>(stored.bytes.data()), static_cast<std::size_t>(stored.count)});
}

class CProgramExpression : public testing::TestWithParam<ProgramCase>
{};

TEST_P(CProgramExpression, StoresTheBytesGccStores)
{
    const std::string actual = ProgramBytes(GetParam());
    EXPECT_TRUE(Matches(actual, GetParam().expected)) << GetParam().expression << " gave " << actual;
}

INSTANTIATE_TEST_SUITE_P(Rows, CProgramExpression, testing::ValuesIn(kProgramCases));

// c1 to c9: the value as C converts it into an integer of that many bytes,
// past eight the sign or zeros going on.
struct WidthCase
{
    CAbiName abi;
    std::string_view expression;
    int width;
    std::string_view expected;
};

// clang-format off
const WidthCase kWidthCases[] = {
    {kLinux, "-1", 9, "ffffffffffffffffff"},
    {kLinux, "-1", 3, "ffffff"},
    {kLinux, "0xFFFFFFFFu", 9, "ffffffff0000000000"},
    {kLinux, "0xFFFFFFFFFFFFFFFF", 9, "ffffffffffffffff00"},
    {kLinux, "-2147483647 - 1", 6, "00000080ffff"},
    {kLinux, "300", 1, "2c"},
    {kLinux, "'\\xff'", 2, "ffff"},
    {kArm, "'\\xff'", 2, "ff00"},
    {kLinux, "(unsigned char)-1", 9, "ff0000000000000000"},
    {kLinux, "1.5", 2, "!floating"},
    {kLinux, "1", 10, "!width"},
    {kLinux, "1", 0, "!width"},
};
// clang-format on

class CStoredWidth : public testing::TestWithParam<WidthCase>
{};

TEST_P(CStoredWidth, ConvertsTheValueNotItsStoredBytes)
{
    const WidthCase& c = GetParam();
    const CAbi& abi = AbiFor(c.abi);
    CTestNames names(abi, CExpressionMode::Program);
    const std::vector<CExprToken> tokens = ExpressionTokens(c.expression);
    const CEvaluatedConstant evaluated = EvaluateConstant(tokens, abi, names, CExpressionMode::Program);
    ASSERT_EQ(evaluated.refusal, "") << c.expression;
    const CElementBytes stored = StoreAsWidth(evaluated.value, c.width);
    const std::string actual = stored.refusal.empty()
        ? Hex({reinterpret_cast<const char*>(stored.bytes.data()), static_cast<std::size_t>(stored.count)})
        : "!" + stored.refusal;
    EXPECT_TRUE(Matches(actual, c.expected)) << c.expression << " gave " << actual;
}

INSTANTIATE_TEST_SUITE_P(Rows, CStoredWidth, testing::ValuesIn(kWidthCases));

// The value an #if row expects, as the preprocessor's own literal.
std::string PreprocessorLiteral(std::string_view expected)
{
    if (expected.ends_with('u'))
        return std::string(expected);
    if (expected.starts_with('-'))
        return "(-" + std::to_string(-(std::stoll(std::string(expected)) + 1)) + " - 1)";
    return std::string(expected);
}

// An #if that keeps a = 1 only when the expression has the row's value and
// signedness (0 * e - 1 is negative only in intmax_t).
std::string PreprocessorSource(const PreprocessorCase& c)
{
    std::string e = "(";
    e += c.expression;
    e += ')';
    std::string text = "#define ONE 1\n#define NEG -1\n#if ";
    text += e;
    text += " == ";
    text += PreprocessorLiteral(c.expected);
    text += " && (0 * ";
    text += e;
    text += c.expected.ends_with('u') ? " - 1 < 0) == 0" : " - 1 < 0) == 1";
    text += "\nconst char a = 1;\n#else\nconst char a = 0;\n#endif";
    return text;
}

class CExpressionOracle : public testing::TestWithParam<CAbiName>
{};

// Each platform's compiler confirms every row that is not refused: a
// program's bytes from "const T a = expression;", an #if's value and
// signedness through the preprocessor's own comparisons.
TEST_P(CExpressionOracle, AgreesWithEveryRow)
{
    std::vector<COracleSource> sources;
    std::vector<std::string> expected, shown;
    const std::string names = "enum { ONE = 1, NEG = -1 };\n";
    for (const ProgramCase& c : kProgramCases) {
        if (c.abi != GetParam() || c.expected.starts_with('!'))
            continue;
        sources.emplace_back(names + "const " + std::string(c.type) + " a = " + std::string(c.expression) + ";");
        expected.emplace_back(c.expected);
        shown.emplace_back(c.expression);
    }
    for (const PreprocessorCase& c : kPreprocessorCases) {
        if (c.abi != GetParam() || c.expected.starts_with('!'))
            continue;
        sources.emplace_back(PreprocessorSource(c));
        expected.emplace_back("01");
        shown.emplace_back(c.expression);
    }
    const COracleRun run = CompileWithOracle(GetParam(), sources);
    if (!run.missing.empty())
        GTEST_SKIP() << "no " << run.missing << " for " << AbiNameOf(GetParam());
    ASSERT_EQ(run.results.size(), sources.size());
    for (std::size_t k = 0; k < sources.size(); ++k) {
        EXPECT_TRUE(run.results[k].compiled) << shown[k] << ": " << run.results[k].error;
        EXPECT_EQ(Hex(run.results[k].bytes), expected[k]) << shown[k];
    }
}

INSTANTIATE_TEST_SUITE_P(Platforms, CExpressionOracle, testing::Values(kLinux, kWindows, kArm),
    [](const testing::TestParamInfo<CAbiName>& abi) { return PlatformTestName(abi.param); });

std::string Repeated(std::string_view text, int times)
{
    std::string repeated;
    for (int k = 0; k < times; ++k)
        repeated += text;
    return repeated;
}

// Nesting is capped, so that no input can exhaust the stack; a long flat
// expression is read in one pass; a number longer than the lexer keeps
// is refused, not read short.
TEST(CExpressionBounds, RefusesDeepNestingAndReadsLongChains)
{
    const CAbi& abi = AbiFor(kLinux);
    CTestNames names(abi, CExpressionMode::Program);
    const std::string deep = std::string(300, '(') + "1" + std::string(300, ')');
    const std::vector<CExprToken> deepTokens = ExpressionTokens(deep);
    EXPECT_NE(
        EvaluateConstant(deepTokens, abi, names, CExpressionMode::Program).refusal.find("deeper"), std::string::npos);
    const std::vector<CExprToken> minusTokens = ExpressionTokens(Repeated("- ", 300) + "1");
    EXPECT_NE(
        EvaluateConstant(minusTokens, abi, names, CExpressionMode::Program).refusal.find("deeper"), std::string::npos);
    const std::vector<CExprToken> chainTokens = ExpressionTokens(Repeated("1 + ", 20000) + "0");
    const CEvaluatedConstant sum = EvaluateConstant(chainTokens, abi, names, CExpressionMode::Program);
    ASSERT_EQ(sum.refusal, "");
    EXPECT_EQ(sum.value.integer.Signed(), 20000);
    const std::vector<CExprToken> zeros = ExpressionTokens(std::string(300, '0') + "1");
    EXPECT_NE(EvaluateConstant(zeros, abi, names, CExpressionMode::Program).refusal.find("256"), std::string::npos);
    const std::vector<CExprToken> nested = ExpressionTokens(std::string(200, '(') + "1" + std::string(200, ')'));
    EXPECT_EQ(EvaluateConstant(nested, abi, names, CExpressionMode::Program).refusal, "");
}

} // namespace
