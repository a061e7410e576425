#include "CSourceLexer.h"
#include "CPpToken.h"
#include "CSourceReading.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <span>
#include <sstream>
#include <string>

namespace {

// The lexer's tokens as one line each: kind letter, line, text; strings as
// their decoded bytes; directives by name.
class CTokenLog final : public CTokenSink
{
public:
    void OnToken(const CToken& token) override
    {
        static const char kKinds[] = "INPCS";
        m_log += kKinds[static_cast<int>(token.kind)];
        m_log += std::to_string(token.line);
        m_log += ' ';
        m_log += token.text;
        if (token.kind == CTokenKind::Character) {
            m_log += token.undecodable ? " !" : " =";
            m_log += token.undecodable ? std::string_view() : token.decoded;
        }
        m_log += token.kind == CTokenKind::String ? " \"" : "\n";
    }
    void OnStringByte(unsigned char byte) override { m_log += static_cast<char>(byte); }
    void OnStringEnd(std::string_view badEscape) override
    {
        m_log += "\" ";
        m_log += badEscape;
        m_log += '\n';
    }
    void OnDirective(std::string_view name, long line) override
    {
        m_log += '#';
        m_log += std::to_string(line);
        m_log += ' ';
        m_log += name;
        m_log += '\n';
    }
    void OnDirectiveEnd(long line) override
    {
        m_log += 'E';
        m_log += std::to_string(line);
        m_log += '\n';
    }
    const std::string& Log() const { return m_log; }

private:
    std::string m_log;
};

struct LexCase
{
    std::string source;
    std::string tokens;
};

class CSourceLex : public testing::TestWithParam<LexCase>
{};

TEST_P(CSourceLex, SplitsAsThePreprocessorDoesInAnyPieces)
{
    const LexCase& c = GetParam();
    for (std::size_t piece : {std::size_t{1}, std::size_t{2}, c.source.size() + 1}) {
        CTokenLog log;
        CSourceLexer lexer(log);
        for (std::size_t at = 0; at < c.source.size(); at += piece)
            lexer.Feed(std::span<const unsigned char>(
                reinterpret_cast<const unsigned char*>(c.source.data()) + at, std::min(piece, c.source.size() - at)));
        lexer.Finish();
        EXPECT_EQ(log.Log(), c.tokens) << c.source << " in pieces of " << piece;
    }
}

// clang-format off
const LexCase kLexCases[] = {
        LexCase{"a+=1", "I1 a\nP1 +=\nN1 1\n"},
        LexCase{"x==-1", "I1 x\nP1 ==\nP1 -\nN1 1\n"},
        LexCase{"1<<3,a..b", "N1 1\nP1 <<\nN1 3\nP1 ,\nI1 a\nP1 .\nP1 .\nI1 b\n"},
        LexCase{"0x1e+2 1'000 .5", "N1 0x1e+2\nN1 1'000\nN1 .5\n"},
        LexCase{"1 /* 2 \n 3 */ 4 // 5 \\\n 6\n7", "N1 1\nN2 4\nN4 7\n"},
        LexCase{"ab\\\r\ncd / 2", "I1 abcd\nP2 /\nN2 2\n"},
        LexCase{"#define X 1 /* \n */ 2\n 3\n  # if 0\n4", "#1 define\nI1 X\nN1 1\nN2 2\nE2\nN3 3\n#4 if\nN4 0\nE4\nN5 4\n"},
        LexCase{"#\nx # y", "#1 \nE1\nI2 x\nP2 #\nI2 y\n"},
        LexCase{"'A' '\\n' '\\x41' '\\101' '\\q' L'b' u8'c'", "C1 'A' =A\nC1 '\\n' =\n\nC1 '\\x41' =A\nC1 '\\101' =A\nC1 '\\q' !\nC1 L'b' =b\nC1 u8'c' =c\n"},
        LexCase{"\"a\\tb\\0\" L\"x\"", "S1  \"a\tb" + std::string(1, '\0') + "\" \nS1 L \"x\" \n"},
        LexCase{"\"\\x100\" \"\\u0041\" \"open\nx", "S1  \"\" \\x100\nS1  \"0041\" \\u\nS1  \"open\" a line end\nI2 x\n"},
        LexCase{"R\"(x)\"", "S1 R \"(x)\" a raw string\n"}};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Tokens, CSourceLex, testing::ValuesIn(kLexCases));

// Mostly plain literals near the limits of the element types, with now and
// then one that only the token path reads; whole runs go by in one go, read
// byte by byte every number is cut, so both must give the same bytes or the
// same refusal.
TEST(CSource, PlainNumberRunsReadAsTheirTokensDo)
{
    std::mt19937_64 random(20261208);
    const char* const kTypes[]
        = {"", "unsigned char", "signed char", "char", "short", "unsigned short", "int", "unsigned", "int64_t"};
    const std::uint64_t kValues[] = {0, 1, 127, 128, 255, 256, 32767, 32768, 65535, 65536, 0x7FFFFFFF, 0x80000000,
        0xFFFFFFFF, 0x100000000, 9999999999, 99999999999};
    const char* const kSeparators[] = {", ", ",\n  ", ",\r\n", " ,\t", ",", "\n,\n"};
    const char* const kOddities[] = {"u", "-", "'", "/**/", "\\\n", "\n#define X\n"};
    for (int round = 0; round < 200; ++round) {
        const char* const type = kTypes[random() % std::size(kTypes)];
        const int count = static_cast<int>(random() % (round % 10 == 0 ? 3000 : 40));
        std::string source;
        if (*type != '\0') {
            source = std::string(type) + " a[";
            if (random() % 3 == 0)
                source += std::to_string(count - static_cast<int>(random() % 3));
            source += "] = {";
        }
        for (int k = 0; k < count; ++k) {
            const std::uint64_t value
                = random() % 4 == 0 ? random() >> (random() % 64) : kValues[random() % std::size(kValues)];
            std::ostringstream element;
            switch (random() % 5) {
            case 0: element << value; break;
            case 1: element << "0" << std::oct << value; break;
            case 2: element << "0x" << std::string(random() % 3, '0') << std::hex << value; break;
            default: element << "0X" << std::hex << std::uppercase << value; break;
            }
            if (random() % 50 == 0)
                element << kOddities[random() % std::size(kOddities)];
            source += element.str() + kSeparators[random() % std::size(kSeparators)];
        }
        if (*type != '\0')
            source += "};\n";
        const int byteUnit = static_cast<int>(random() % 10);
        const CReading tokens = ReadC(source, byteUnit, 1);
        const std::size_t piece = random() % 4096 + 1;
        for (const CReading& reading : {ReadC(source, byteUnit), ReadC(source, byteUnit, piece)}) {
            ASSERT_EQ(reading.read, tokens.read) << source << " in pieces of " << piece;
            ASSERT_EQ(reading.error, tokens.error) << source << " in pieces of " << piece;
            ASSERT_EQ(reading.bytes, tokens.bytes) << source << " in pieces of " << piece;
        }
    }
}

} // namespace

namespace {

// Each token's text, "_" before it after a blank, comment or line start,
// "~" after it when cut; directives as "#name" and "$" at their end.
class CSpacingLog final : public CTokenSink
{
public:
    void OnToken(const CToken& token) override
    {
        m_log += token.spaceBefore ? "_" : "";
        m_log += token.text;
        m_log += token.kind == CTokenKind::String ? "\"" : token.truncated ? "~ " : " ";
    }
    void OnStringByte(unsigned char byte) override { m_log += static_cast<char>(byte); }
    void OnStringEnd(std::string_view /*badEscape*/) override { m_log += "\" "; }
    void OnDirective(std::string_view name, long /*line*/) override { m_log += Concat("#", name, " "); }
    void OnDirectiveEnd(long /*line*/) override { m_log += "$ "; }
    const std::string& Log() const { return m_log; }

private:
    std::string m_log;
};

TEST(CSource, MarksSpacingAndCutTokensInDirectivesAndText)
{
    const std::string kLong(300, 'x');
    std::string separated = "1";
    for (int k = 0; k < 200; ++k)
        separated += "'1";
    const std::pair<std::string, std::string> kCases[] = {
        {"#define F(x) x\n#define G (x)", "#define _F ( x ) _x $ #define _G _( x ) $ "},
        {"a/**/b c\\\nd \"s t\"", "_a _b _cd _\"s t\" "},
        {"#if \"q\" 1//x\n2", "#if _\"q\" _1 $ _2 "},
        {"#include <a.h>\n#", "#include _< a . h > $ # $ "},
        {Concat(kLong, "+", separated), Concat("_", kLong.substr(0, 256), "~ + ", separated.substr(0, 256), "~ ")},
    };
    for (const auto& [source, expected] : kCases)
        for (const std::size_t piece : {std::size_t{1}, source.size() + 1}) {
            CSpacingLog log;
            CSourceLexer lexer(log);
            for (std::size_t at = 0; at < source.size(); at += piece)
                lexer.Feed(std::span<const unsigned char>(
                    reinterpret_cast<const unsigned char*>(source.data()) + at, std::min(piece, source.size() - at)));
            lexer.Finish();
            EXPECT_EQ(log.Log(), expected) << source << " in pieces of " << piece;
        }
}

} // namespace
