#include "CAbi.h"
#include "CPreprocessor.h"
#include "CRefusal.h"
#include "CSourceLexer.h"
#include "CSourceReading.h"
#include "CompilerOracle.h"

#include <gtest/gtest.h>

#include <random>
#include <span>
#include <string>
#include <vector>

namespace {

// What the preprocessor sends on, one word a token: '?' before an uncertain
// name, a string as its bytes in quotes, skipped text as [condition line
// b] (b when it held a '['), a refusal last after '!'.
class CExpandedLog final : public CTokenSink
{
public:
    void OnToken(const CToken& token) override
    {
        Space();
        m_log += token.uncertain ? "?" : "";
        m_log += token.kind == CTokenKind::String ? "\"" : token.text;
    }
    void OnStringByte(unsigned char byte) override { m_log += static_cast<char>(byte); }
    void OnStringEnd(std::string_view badEscape) override
    {
        m_log += '"';
        m_log += badEscape;
    }
    void OnUncertainText(std::string_view condition, long line, bool bracket) override
    {
        Space();
        m_log += Concat("[", condition, " ", std::to_string(line), bracket ? " b]" : "]");
    }
    std::string& Log() { return m_log; }

private:
    void Space()
    {
        if (!m_log.empty())
            m_log += ' ';
    }
    std::string m_log;
};

std::string Preprocess(const std::string& source, std::size_t piece, const std::vector<CMacroOption>& macros)
{
    CExpandedLog log;
    CRefusal refusal;
    CPreprocessor preprocessor(log, refusal, AbiFor(CAbiName::X86_64Linux), macros);
    CSourceLexer lexer(preprocessor);
    const auto* bytes = reinterpret_cast<const unsigned char*>(source.data());
    for (std::size_t at = 0; at < source.size(); at += piece)
        lexer.Feed(std::span(bytes + at, std::min(piece, source.size() - at)));
    lexer.Finish();
    preprocessor.Finish();
    if (refusal.Failed())
        log.Log() += Concat(log.Log().empty() ? "! " : " ! ", refusal.Text());
    return log.Log();
}

struct ExpansionCase
{
    std::string source;
    std::string expanded;
    std::vector<CMacroOption> macros = {};
};

class CPreprocessorExpansion : public testing::TestWithParam<ExpansionCase>
{};

TEST_P(CPreprocessorExpansion, SendsWhatGccsPreprocessorGivesInAnyPieces)
{
    const ExpansionCase& c = GetParam();
    for (const std::size_t piece : {std::size_t{1}, std::size_t{3}, c.source.size() + 1})
        EXPECT_EQ(Preprocess(c.source, piece, c.macros), c.expanded) << c.source << "\nin pieces of " << piece;
}

const std::string kLongName(300, 'n');

// clang-format off
const ExpansionCase kMacroCases[] = {
    {"#define N 5\nN N", "5 5"},
    {"#define N 1\n#define N 2\nN", "2"},
    {"#define N 1\n#undef N\nN", "N"},
    {"#define F(x) x+1\nF(2)", "2 + 1"},
    {"#define F(x) x\nF;F (3)", "F ; 3"},
    {"#define F (x) x\nF", "( x ) x"},
    {"#define F(a,b) b a\nF(1,\n2)", "2 1"},
    {"#define F(a) [a]\nF((1,2)) F()", "[ ( 1 , 2 ) ] [ ]"},
    {"#define X X+1\nX", "X + 1"},
    {"#define A B\n#define B A\nA B", "A B"},
    {"#define f(a) a*g\n#define g(a) f(a)\nf(2)(9)", "2 * 9 * g"},
    {"#define f(x) x\nf(f)(1)", "f ( 1 )"},
    {"#define g f\n#define f(x) [x]\ng(1) g\n(2)", "[ 1 ] [ 2 ]"},
    {"#define F(x) (x)\n#define G F(\nG 1)", "( 1 )"},
    {"#define S(x) #x\nS(a  +  b) S( a ) S() S('\\n')", "\"a + b\" \"a\" \"\" \"'\\\\n'\""},
    {"#define S(x) #x\n#define X(y) S(y)\nX(a+ b)", "\"a+ b\""},
    {"#define S \"a\\tb\"\nS", "\"a\tb\""},
    {"#define P(a,b) a##b\nP(x,1) P(1,2) P(,y) P(,) P(+,=) P(L,'a')", "x1 12 y += L'a'"},
    {"#define C a ## 1\n#define H # x\nC H", "a1 # x"},
    {"#define V(f,...) f(__VA_ARGS__)\nV(g,1,2) V(g)", "g ( 1 , 2 ) g ( )"},
    {"#define E(f,...) f(0,##__VA_ARGS__)\nE(g) E(g,1)", "g ( 0 ) g ( 0 , 1 )"},
    {"\n\n__LINE__\n#define L __LINE__\nL", "3 5"},
    {"#define F(x) x\n#define L __LINE__\n#define H(x) L x\nF(\n__LINE__\n) F(\nL\n)\nH(\n1\n)", "5 7 9 1"},
    {"N F(3) E", "4 3 * 2 1", {{"N", "4"}, {"F(x)", "x*2"}, {"E", "1"}}},
    {"N", "N", {{"N", "1"}, {"N", "", true}}},
    {"__GNUC__", "12"},
    {"#define I(x) x\n#include <a.h>\n#pragma once\n#line 5\n# 7 \"f.c\"\n#\nI(x)", "['#include <a.h>' 2] x"},
    {kLongName + " " + kLongName, kLongName.substr(0, 256) + " " + kLongName.substr(0, 256)},
    // Refused as gcc refuses them, or because the reader cannot know.
    {"#define S(x) #x\nS(\"x\")", "! line 2: '#' of an argument holding a string or a long token is not read"},
    {"#define P(a,b) a##b\nP(+,-)", "! line 2: pasting '+' and '-' does not give a valid token"},
    {"#define P(a,b) a##b\nP(/,/)", "! line 2: pasting '/' and '/' does not give a valid token"},
    {"#define V(...) __VA_OPT__(x)", "! line 1: '__VA_OPT__' is not read"},
    {"#define F(a,b) a\nF(1)", "! line 2: the macro 'F' takes 2 arguments, given 1"},
    {"#define F(a) a\nx F(1", "x ! line 2: the call of 'F' is not closed"},
    {"#define F(x) x\nF(\n#define Y\n1)", "! line 3: a directive inside the call of 'F' is not read"},
    {"a __FILE__", "a ! line 1: '__FILE__' changes with the build"},
    {"#define F(x,x) x", "! line 1: the parameter 'x' is given twice"},
    {"#define F(x) #y", "! line 1: '#' is not followed by a macro parameter"},
    {"#define F ## x", "! line 1: '##' cannot stand at either end of a macro's replacement"},
    {"#define defined", "! line 1: 'defined' cannot be a macro name"},
    {Concat("#define ", kLongName, " 1"), "! line 1: a macro name longer than 256 bytes is not read"},
    {"N", "! -D N: a line end in a macro's definition", {{"N", "1\n2"}}},
};

const ExpansionCase kConditionCases[] = {
    {"#if 1\na\n#else\nb\n#endif", "a"},
    {"#if 0\na\n#elif 2>1\nb\n#else\nc\n#endif", "b"},
    {"#if 0\n#if X\n#endif\nb\n#error x\n#foo\n#endif\nc", "c"},
    {"#define A\n#undef B\n#if defined(A) && !defined B\nx\n#endif", "x"},
    {"#define V 3\n#if V*2 == 6\nx\n#endif", "x"},
    {"#define X X\n#if X\na\n#else\nb\n#endif", "b"},
    {"#define A\n#if 0\n#elifdef A\nx\n#endif\n#ifndef A\ny\n#elifndef Z\nz\n#endif", "x ['#elifndef Z' 8]"},
    {"#ifdef X\na\n#else\nb\n#endif", "b", {{"X", "", true}}},
    {"#ifdef __cplusplus\na\n#endif\nb", "b"},
    {"#ifndef G\n#define G 1\nG\n#endif", "1"},
    {"#ifdef X\na[1]\n#endif\nb", "['#ifdef X' 1 b] b"},
    {"#if X\n#define N 1\ntypedef int T;\nenum { E = 1 };\n#endif\nN T E", "['#if X' 1] ?N ?T ?E"},
    {"#ifndef G\na\n#define G\n#endif\nG", "['#ifndef G' 1] ?G"},
    {"#if 0\na\n#elif Y\nb\n#else\nc\n#endif\nd", "['#elif Y' 3] d"},
    {"#if FOO > 1\nx\n#endif", "['#if FOO > 1' 1]"},
    {"#undef FOO\n#if FOO > 1 || !FOO\nx\n#endif", "x"},
    {"#ifdef X\n#define N 1\n#endif\n#if N\na\n#endif\n#define N 2\n#if N == 2\nN\n#endif", "['#ifdef X' 1] ['#if N' 4] 2"},
    {"#ifdef X\n#if 1\nint b[2];\n#else\n#endif\n#elif 1\n#endif\nc", "['#ifdef X' 1 b] c"},
    {"#ifndef G\n#define G\na\n#else\nb\n#endif", "a"},
    {"#if !defined(G)\n#define G\na\n#endif", "a"},
    {"#if !defined G\n#define G\na\n#endif", "a"},
    {"#if !defined(G) && X\n#define G\na\n#endif", "['#if !defined(G) && X' 1]"},
    {"#if 1\n#elif FOO\n#endif\nx", "x"},
    {"#define S(x) #x\n#define X(x) S(x)\n#if Y\n#define M 1\n#endif\nS(M) X(M)", "['#if Y' 3] \"M\" ! line 6: '#' of 'M', a name defined under a condition not known, is not read"},
    {"#define P(a,b) a##b\n#define X(a) P(a,1)\n#if Y\n#undef M\n#endif\nP(M,1) X(M)", "['#if Y' 3] M1 ! line 6: '##' of 'M', a name defined under a condition not known, is not read"},
    {Concat("#if ", kLongName, "\n#endif"), Concat("['#if ", kLongName.substr(0, 75), " ...' 1]")},
    {"#if 1\n#error stop\n#endif", "! line 2: the file stops at '#error'"},
    {"#embed \"a\"", "! line 1: '#embed' is not read"},
    {"#foo", "! line 1: '#foo' is no directive the reader knows"},
    {"#if 1\n#else\n#else\n#endif", "! line 3: #else after #else"},
    {"#if 1\n#else\n#elif 1\n#endif", "! line 3: #elif after #else"},
    {"#endif", "! line 1: #endif without #if"},
    {"a\n#if 1\nb", "a b ! line 2: this #if is never closed"},
    {"#ifdef\n#endif", "! line 1: #ifdef without a macro name"},
    {"#if defined(\n#endif", "! line 1: 'defined' without a macro name"},
    {"#define D defined(X)\n#undef X\n#if D\n#endif", "! line 3: 'defined' made by a macro is not read"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Macros, CPreprocessorExpansion, testing::ValuesIn(kMacroCases));
INSTANTIATE_TEST_SUITE_P(Conditions, CPreprocessorExpansion, testing::ValuesIn(kConditionCases));

} // namespace

namespace {

// "#define A0 x x", each next one twice the one before: A<levels> makes
// 2^(levels+1) tokens from one.
std::string DoublingMacros(int levels)
{
    std::string source = "#define A0 x x\n";
    for (int k = 1; k <= levels; ++k)
        source
            += Concat("#define A", std::to_string(k), " A", std::to_string(k - 1), " A", std::to_string(k - 1), "\n");
    return source;
}

// "#define M1 M0" and so on: M<count> nests count expansions.
std::string ChainedMacros(int count)
{
    std::string source;
    for (int k = 1; k <= count; ++k)
        source += Concat("#define M", std::to_string(k), " M", std::to_string(k - 1), "\n");
    return source;
}

std::string Repeated(const std::string& text, int count)
{
    std::string repeated;
    for (int k = 0; k < count; ++k)
        repeated += text;
    return repeated;
}

std::string ManyNames(int count, const std::string& replacement = {})
{
    std::string source;
    for (int k = 0; k < count; ++k)
        source += Concat("#define M", std::to_string(k), replacement, "\n");
    return source;
}

struct CapCase
{
    std::string source;
    std::string refusal;
};

// Each cap of the preprocessor is refused past with its own line.
TEST(CPreprocessor, RefusesPastEachCap)
{
    const CapCase kCaps[] = {
        {ManyNames(32769), "more than 32768 macro names"},
        {ManyNames(40, Repeated(" x", 3000)), "the macros' definitions pass 8 MiB"},
        {Concat("#define L ", Repeated("x ", 12000)), "the #define line passes 1 MiB"},
        {Concat("#define F(x) x\nF(", Repeated("x ", 40000), ")"), "the call of 'F' passes 4 MiB"},
        {Concat(ChainedMacros(300), "M300"), "macro expansions nest deeper than 256"},
        {Concat(DoublingMacros(29), "A29"), "a macro expansion passes 8 MiB"},
        {Concat(DoublingMacros(14), Repeated("A14\n", 100)),
            "macro expansions make more than 16 tokens per token of the file"},
        {Repeated("#if 1\n", 257), "#if groups nest deeper than 256"},
    };
    for (const CapCase& cap : kCaps) {
        const std::string log = Preprocess(cap.source, cap.source.size(), {});
        EXPECT_TRUE(log.ends_with(": " + cap.refusal))
            << cap.refusal << ": " << log.substr(log.size() - std::min<std::size_t>(200, log.size()));
    }
}

struct BytesCase
{
    std::string source;   // its array is named a
    std::string bytes;
    std::vector<CMacroOption> macros = {};
};

// clang-format off
const BytesCase kBytesCases[] = {
    {"#define N 3\nunsigned char a[N] = {1};", std::string("\1\0\0", 3)},
    {"#define B(x) 0x##x,\nunsigned char a[] = { B(41) B(42) };", "AB"},
    {"#define ROW(p,q) p, q,\nunsigned char a[] = { ROW(1,2)\nROW(\n3,\n4) };", "\1\2\3\4"},
    {"#if 2 > 1\nunsigned char a[] = {1};\n#else\nunsigned char a[] = {2};\n#endif", "\1"},
    {"#ifndef H\n#define H\n#define V 7\nunsigned char a[] = {V, V};\n#endif", "\7\7"},
    {"#define S \"ab\"\nchar a[] = S;", std::string("ab\0", 3)},
    {"#define STR(x) #x\nchar a[] = STR(hi  there);", std::string("hi there\0", 9)},
    {"#define V(...) {__VA_ARGS__}\nunsigned char a[] = V(5, 6);", "\5\6"},
    {"#define X 1\n#undef X\n#define X 2\nunsigned char a[] = {X};", "\2"},
    {"#ifdef __cplusplus\nint a[] = {1};\n#else\nunsigned char a[] = {0x41, 0x42,\n0x43};\n#endif", "ABC"},
    {"unsigned char a[] = {V, W};", "\x09\x01", {{"V", "9"}, {"W", "1"}}},
};
// clang-format on

TEST(CPreprocessor, GivesTheBytesTheCompilerStores)
{
    std::vector<COracleSource> sources;
    for (const BytesCase& c : kBytesCases)
        sources.emplace_back(c.source, "a", c.macros);
    const COracleRun compiled = CompileWithOracle(CAbiName::X86_64Linux, sources, "");
    for (std::size_t k = 0; k < std::size(kBytesCases); ++k) {
        const BytesCase& c = kBytesCases[k];
        for (const std::size_t piece : {std::size_t{1}, std::size_t{3}, c.source.size() + 1}) {
            const CReading reading = ReadC(c.source, 0, piece, c.macros);
            EXPECT_TRUE(reading.read) << c.source << "\n" << reading.error;
            EXPECT_EQ(reading.bytes, c.bytes) << c.source << "\nin pieces of " << piece;
        }
        // Without the compiler the table's own bytes stand.
        if (compiled.missing.empty()) {
            EXPECT_EQ(compiled.results[k].bytes, c.bytes) << c.source << "\n" << compiled.results[k].error;
        }
    }
}

} // namespace

namespace {

// Random lines of directives, calls and array text: the preprocessor's
// output and refusal must not depend on where the pieces are cut.
TEST(CPreprocessor, ReadsRandomTextTheSameInAnyPieces)
{
    const char* const kLines[] = {"#define F(x, ...) x __VA_ARGS__", "#define G(a) F(a, a) #a", "#define H F(",
        "#define P(a, b) a ## b", "#define E", "#undef F", "#ifdef X", "#ifndef E", "#if F(1, 0) > 0", "#elif G(2)",
        "#else", "#endif", "unsigned char a[] = {", "F(1, 2),", "G(3)", "H 4),", "P(0x, 41),", "E 5, E",
        "\"s\" G(\"t\")", "[2] = 7,", "};", "F /* x */ (6,", "7)", "__LINE__,"};
    std::mt19937 random(20261209);
    for (int round = 0; round < 300; ++round) {
        std::string source;
        int depth = 0;   // groups open: #else and #endif only inside one
        for (int line = static_cast<int>(random() % 30); line > 0; --line) {
            const std::string_view text = kLines[random() % std::size(kLines)];
            if (text.starts_with("#el") || text == "#endif") {
                if (depth == 0)
                    continue;
                depth -= text == "#endif" ? 1 : 0;
            }
            depth += text.starts_with("#if") ? 1 : 0;
            source += Concat(text, "\n");
        }
        source += Repeated("#endif\n", depth);
        const std::string whole = Preprocess(source, source.size() + 1, {});
        for (const std::size_t piece : {std::size_t{1}, std::size_t{2} + random() % 7})
            ASSERT_EQ(Preprocess(source, piece, {}), whole) << source << "in pieces of " << piece;
    }
}

} // namespace
