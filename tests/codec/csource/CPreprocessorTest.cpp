#include "CAbi.h"
#include "CPreprocessor.h"
#include "CRefusal.h"
#include "CSourceLexer.h"
#include "CSourceReading.h"

#include <gtest/gtest.h>

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
    {"#if 1\n#elif FOO\n#endif\nx", "x"},
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
