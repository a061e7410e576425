#include "codec/ArrayCodec.h"
#include "CInitialiserReader.h"
#include "CSourceLexer.h"
#include "ProgramRun.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <vector>

namespace {

class CCollectedBytes final : public CElementSink
{
public:
    void PutBytes(const unsigned char* bytes, std::size_t count) override
    {
        m_bytes.append(reinterpret_cast<const char*>(bytes), count);
    }
    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

struct CReading
{
    bool read;
    std::string bytes;
    std::string error;
};

// The reader fed as a file would feed it, in pieces of the given size, so
// that every token can be cut anywhere.
CReading ReadC(const std::string& source, int byteUnit, std::size_t piece = 1 << 20)
{
    CCollectedBytes out;
    CInitialiserReader reader(out, byteUnit);
    CSourceLexer lexer(reader);
    const auto* bytes = reinterpret_cast<const unsigned char*>(source.data());
    for (std::size_t at = 0; at < source.size() && !reader.Failed(); at += piece)
        lexer.Feed(std::span<const unsigned char>(bytes + at, std::min(piece, source.size() - at)));
    lexer.Finish();
    const bool read = reader.Finish();
    return {read, out.Bytes(), reader.Error()};
}

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
INSTANTIATE_TEST_SUITE_P(Tokens, CSourceLex,
    testing::Values(
        LexCase{"a+=1", "I1 a\nP1 +=\nN1 1\n"},
        LexCase{"x==-1", "I1 x\nP1 ==\nP1 -\nN1 1\n"},
        LexCase{"1<<3,a..b", "N1 1\nP1 <<\nN1 3\nP1 ,\nI1 a\nP1 .\nP1 .\nI1 b\n"},
        LexCase{"0x1e+2 1'000 .5", "N1 0x1e+2\nN1 1'000\nN1 .5\n"},
        LexCase{"1 /* 2 \n 3 */ 4 // 5 \\\n 6\n7", "N1 1\nN2 4\nN4 7\n"},
        LexCase{"ab\\\r\ncd / 2", "I1 abcd\nP2 /\nN2 2\n"},
        LexCase{"#define X 1 /* \n */ 2\n 3\n  # if 0\n4", "#1 define\nN3 3\n#4 if\nN5 4\n"},
        LexCase{"#\nx # y", "#1 \nI2 x\nP2 #\nI2 y\n"},
        LexCase{"'A' '\\n' '\\x41' '\\101' '\\q' L'b' u8'c'", "C1 'A' =A\nC1 '\\n' =\n\nC1 '\\x41' =A\nC1 '\\101' =A\nC1 '\\q' !\nC1 L'b' =b\nC1 u8'c' =c\n"},
        LexCase{"\"a\\tb\\0\" L\"x\"", "S1  \"a\tb" + std::string(1, '\0') + "\" \nS1 L \"x\" \n"},
        LexCase{"\"\\x100\" \"\\u0041\" \"open\nx", "S1  \"\" \\x100\nS1  \"0041\" \\u\nS1  \"open\" a line end\nI2 x\n"},
        LexCase{"R\"(x)\"", "S1 R \"(x)\" a raw string\n"}));
// clang-format on

// Each declares the array "a" as C code would; the compiler tells the bytes.
struct CompiledCase
{
    std::string source;
    int byteUnit;   // 0: as declared
};

const CompiledCase kCompiledCases[] = {
    {"unsigned char a[] = {0x41, 66, 0103, 0b1000100, 0X4a};", 0},
    {"unsigned char a[] = { /* row 0 */ 1, 2, // 2 px\n 3, /*00-0F*/ 4 };", 0},
    {"unsigned char a[] = {1, 2, // 7, \\\n 99,\n 3 /* 4, \\\n 5 */ };", 0},
    {"unsigned char a[] = {1, 2,\n#define UNUSED 5\n3,\n#pragma unknown\n4,};", 0},
    {"signed char a[] = {-1, -128, 127, - -3};", 0},
    {"short a[] = {-1, 0x7FFF, -32768, 'z'};", 0},
    {"int a[] = {-1, 'A', '\\n', '\\x7f', '\\0', '\\'', '\"', '\\?', '\\177'};", 0},
    {"uint32_t a[] = {0xDEADBEEF, 1u, 2UL, 3ll, 4LLU, -2};", 0},
    {"uint32_t a[3] = {0xDEADBEEF, 1};", 4},
    {"int64_t a[] = {-1, 0x8000000000000000, -0x80000000, -2147483648, 4294967295u, -1u};", 0},
    {"uint64_t a[] = {-1, 18446744073709551615u, 0x7fffffffffffffff};", 0},
    {"unsigned a[] = {4294967295, 1, -0x1};", 0},
    {"long long a[] = {-1LL, 1, 0x100000000};", 0},
    {"unsigned char a[8] = {1, 2};", 0},
    {"uint16_t a[2][3] = {{1}, {2, 3}};", 0},
    {"uint8_t a[][2] = {1, 2, 3};", 0},
    {"uint8_t a[][2][2] = {{{1}, {2, 3}}, {4}};", 0},
    {"int a[5] = {[3] = 7, 9};", 0},
    {"unsigned char a[2][2] = {[1] = {5, 6}};", 0},
    {"uint16_t a[3][2] = {[1] = 5, 6, [2] = {7}};", 0},
    {"char a[] = \"AB\\tC\";", 0},
    {"char a[7] = \"ab\"\n\"c\" \"d\";", 0},
    {"char a[6] = \"abc\";", 0},
    {"char a[3] = \"abc\";", 0},
    {"char a[][4] = {\"ab\", \"cde\"};", 0},
    {"char a[][3] = {{\"ab\"}, {\"c\"}};", 0},
    {"unsigned char a[] = {\"x\" \"y\\x41\" \"\\101\"};", 0},
    {"char a[] = u8\"\\xC3\\xA9\";", 0},
    {"uint8_t a[] = {(uint8_t)0x1FF, (uint8_t)-1, 0x1FF, (unsigned char)(signed char)-2};", 0},
    {"int16_t a[] = {(int8_t)200, -(short)1, +5, (const uint16_t)70000};", 0},
    {"int32_t a[] = {(uint8_t)-1, (int8_t)-1, -(unsigned)1};", 0},
    {"int n = 5; enum { K = 3 }; struct p { int x; }; unsigned char a[] = {7};", 0},
    {"static const unsigned char __attribute__((aligned(4))) a[] __attribute__((unused)) = {1, 2};", 0},
    {"unsigned char a[] = {u8'a', L'b', u'c', U'd'};", 0},
    {"const volatile unsigned short int a[] = {1, 0xFFFF};", 0},
    {"unsigned char a[] = {};", 0},
    {"unsigned char a[] = {0, 00, 010, 255, 0xFF, 256, 0x100, 0x0000000041, 0XaB,\r\n\t1,\f2,};", 0},
    {"signed char a[] = {127, 0x7f, 128, 0x80, 255, 2147483647, 2147483648, 0xFFFFFFFF,};", 0},
    {"char a[] = {127, 128, 0x80, 0xff,};", 0},
    {"int16_t a[] = {32767, 32768, 0x8000, 65535, 65536, 0x10000, 4294967296, 99999999999,};", 0},
    {"unsigned short a[] = {65535, 0xFFFF, 65536, 0x7FFFFFFF, 0x80000000, 4294967295, 0x100000001,};", 0},
    {"int a[] = {2147483647, 0x7FFFFFFF, 2147483648, 0x80000000, 0xFFFFFFFF, 4294967296,};", 0},
    {"uint64_t a[] = {2147483647, 2147483648, 0xFFFFFFFF, 0x123456789, 18446744073709551615u,};", 0},
};

// One C program that prints every case's array, each after its size and a colon.
std::string DumpProgram()
{
    std::ostringstream program;
    program << "#include <stdio.h>\n#include <stdint.h>\n";
    for (std::size_t k = 0; k < std::size(kCompiledCases); ++k)
        program << "#define a a_" << k << '\n' << kCompiledCases[k].source << "\n#undef a\n";
    program << "int main(void) {\n";
    for (std::size_t k = 0; k < std::size(kCompiledCases); ++k)
        program << "printf(\"%zu:\", sizeof a_" << k << "); fwrite(&a_" << k << ", 1, sizeof a_" << k << ", stdout);\n";
    program << "return 0;\n}\n";
    return program.str();
}

// The bytes the compiler stores for each case, or nothing without a compiler.
std::vector<std::string> CompiledBytes()
{
    CTempDir dir;
    dir.Write("dump.c", DumpProgram());
    const CProgramOutcome built = RunProgram("cc", dir.Root(), {"-std=c2x", "-w", "-o", "dump", "dump.c"});
    // No compiler: the shell's 127, or no process started (Windows).
    if (built.exitCode == 127 || built.exitCode == -1)
        return {};
    if (built.exitCode != 0) {
        ADD_FAILURE() << built.errors;
        return {""};
    }
    const CProgramOutcome run = RunProgram(dir.Path("dump"), dir.Root(), {});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    std::vector<std::string> arrays;
    for (std::size_t at = 0; at < run.output.size();) {
        const std::size_t colon = run.output.find(':', at);
        const std::size_t size = std::stoul(run.output.substr(at, colon - at));
        arrays.push_back(run.output.substr(colon + 1, size));
        at = colon + 1 + size;
    }
    return arrays;
}

TEST(CSource, GivesTheBytesTheCompilerStores)
{
    const std::vector<std::string> compiled = CompiledBytes();
    if (compiled.empty())
        GTEST_SKIP() << "no C compiler (cc) to tell the bytes";
    ASSERT_EQ(compiled.size(), std::size(kCompiledCases)) << "the compiler wrote every case";
    for (std::size_t k = 0; k < compiled.size(); ++k) {
        const CompiledCase& c = kCompiledCases[k];
        for (std::size_t piece : {std::size_t{1} << 20, std::size_t{1}, std::size_t{3}}) {
            const CReading reading = ReadC(c.source, c.byteUnit, piece);
            EXPECT_TRUE(reading.read) << c.source << "\n" << reading.error;
            EXPECT_EQ(reading.bytes, compiled[k]) << c.source << " in pieces of " << piece;
        }
    }
}

struct ReadCase
{
    std::string source;
    int byteUnit;
    std::string bytes;
};

class CSourceRead : public testing::TestWithParam<ReadCase>
{};

// What no compiler can tell: bodies pasted alone, widths other than the
// declared one, and what this compiler's C does not have yet.
TEST_P(CSourceRead, WritesEachElementAtTheByteUnit)
{
    const ReadCase& c = GetParam();
    const CReading reading = ReadC(c.source, c.byteUnit);
    EXPECT_TRUE(reading.read) << reading.error;
    EXPECT_EQ(reading.bytes, c.bytes);
}

const std::string kNineFF(9, '\xFF');

// clang-format off
INSTANTIATE_TEST_SUITE_P(Bodies, CSourceRead,
    testing::Values(
        ReadCase{"0x41, 0x42", 0, "AB"},
        ReadCase{"{1, 2}, {3}", 0, "\1\2\3"},
        ReadCase{"-1, 2", 2, std::string("\xFF\xFF\x02\x00", 4)},
        ReadCase{"1'000", 2, "\xE8\x03"},
        ReadCase{"0x1'0000", 4, std::string("\0\0\1\0", 4)},
        ReadCase{"'A', /* 9 */ 'B' // 10", 0, "AB"},
        ReadCase{"1, 2;", 0, "\1\2"},
        ReadCase{"", 0, ""},
        ReadCase{"-128, 255", 0, "\x80\xFF"},
        ReadCase{"-1", 9, kNineFF},
        ReadCase{"0xFFFFFFFFFFFFFFFF", 9, std::string(8, '\xFF') + '\0'},
        ReadCase{"unsigned char a[] = {1};", 3, std::string("\1\0\0", 3)},
        ReadCase{"uint16_t a[] = {-1};", 4, std::string("\xFF\xFF\0\0", 4)},
        ReadCase{"int8_t a[] = {-1};", 2, "\xFF\xFF"},
        ReadCase{"u16 a[] = {0x1234};", 0, "\x34\x12"},
        ReadCase{"static const BYTE a[] = {0xFF};", 0, "\xFF"},
        ReadCase{"DWORD a[] = {1};", 0, std::string("\1\0\0\0", 4)},
        ReadCase{"INT16 a[] = {-2};", 0, "\xFE\xFF"},
        ReadCase{"UINT64 a[] = {0x0102};", 0, std::string("\2\1\0\0\0\0\0\0", 8)},
        ReadCase{"mytype a[] = {0x1234, -1};", 2, "\x34\x12\xFF\xFF"},
        ReadCase{"long a[] = {-1};", 4, kNineFF.substr(0, 4)},
        ReadCase{"unsigned char a[] = {1}; unsigned char b[] = {2};", 0, "\1"},
        ReadCase{"unsigned char a[] = {'\\xff'};", 0, "\xFF"},
        ReadCase{"unsigned char a[] = {1, 0xFF,};", 2, std::string("\1\0\xFF\0", 4)},
        ReadCase{"short a[] = {0x7FFF, 40000,};", 9, std::string("\xFF\x7F\0\0\0\0\0\0\0", 9) + std::string("\x40\x9C") + kNineFF.substr(0, 7)},
        ReadCase{"0x41,\n0xFF,", 3, std::string("\x41\0\0\xFF\0\0", 6)},
        ReadCase{"unsigned char f[] = {\r\n  0x01, 0x02\r\n};\r\nunsigned int f_len = 2;\r\n", 0, "\1\2"}));
// clang-format on

struct RefusalCase
{
    std::string source;
    int byteUnit;
    std::string error;
};

class CSourceRefusal : public testing::TestWithParam<RefusalCase>
{};

// Whatever the reader cannot evaluate as C would is refused by name, never
// guessed.
TEST_P(CSourceRefusal, NamesTheLineAndTheConstruct)
{
    const RefusalCase& c = GetParam();
    const CReading reading = ReadC(c.source, c.byteUnit);
    EXPECT_FALSE(reading.read);
    EXPECT_EQ(reading.error, c.error);
    EXPECT_EQ(ReadC(c.source, c.byteUnit, 1).error, c.error) << "in pieces of 1";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Constructs, CSourceRefusal,
    testing::Values(
        RefusalCase{"int a[] = {192+32};", 0, "line 1: '192+32' is an expression"},
        RefusalCase{"int a[] = {\n1 << 3};", 0, "line 2: '1<<3' is an expression"},
        RefusalCase{"int a[] = {N1};", 0, "line 1: 'N1' is a macro or enum name"},
        RefusalCase{"int a[] = {-N1};", 0, "line 1: '-N1' is a macro or enum name"},
        RefusalCase{"int a[] = {CPU(1)};", 0, "line 1: 'CPU(1)' is a macro call"},
        RefusalCase{"int a[] = {(1)};", 0, "line 1: '(1)' is an expression"},
        RefusalCase{"int a[] = {\n#if X\n1,\n#endif\n};", 0, "line 2: '#if' inside the initialiser is a condition the reader does not evaluate"},
        RefusalCase{"int a[] = {\n#include \"d.inc\"\n};", 0, "line 2: '#include' inside the initialiser is not read"},
        RefusalCase{"double a[] = {1.5};", 0, "line 1: 'double' elements are not integers"},
        RefusalCase{"struct s a[] = {{1, 2}};", 2, "line 1: 'struct' elements are not integers"},
        RefusalCase{"struct { int x; } a[] = {1};", 1, "line 1: 'struct' elements are not integers"},
        RefusalCase{"int a[] = {1.5};", 0, "line 1: '1.5' is a floating value"},
        RefusalCase{"int a[] = {1e3};", 0, "line 1: '1e3' is a floating value"},
        RefusalCase{"int a[] = {08};", 0, "line 1: '08' is not a valid number"},
        RefusalCase{"int a[] = {12ab};", 0, "line 1: '12ab' is not a valid number"},
        RefusalCase{"int a[] = {0x1FFFFFFFFFFFFFFFF};", 0, "line 1: '0x1FFFFFFFFFFFFFFFF' is too large for any integer type"},
        RefusalCase{"int a[] = {9223372036854775808};", 0, "line 1: '9223372036854775808' is too large for any signed type"},
        RefusalCase{"int a[N] = {1};", 0, "line 1: '[N]' is a size the reader cannot evaluate"},
        RefusalCase{"int a[2][N] = {1};", 0, "line 1: '[N]' is a size the reader cannot evaluate"},
        RefusalCase{"mytype a[] = {1};", 0, "line 1: 'mytype' is not a type of known width: name the width with c1 to c9"},
        RefusalCase{"long a[] = {1};", 0, "line 1: 'long' is 4 or 8 bytes by platform: name the width with c4 or c8"},
        RefusalCase{"int a[] = {(long)1};", 0, "line 1: '(long)1' casts to 'long', 4 or 8 bytes by platform"},
        RefusalCase{"int a[] = {'\\xff'};", 0, "line 1: ''\\xff'' holds a char of 0x80 or above, whose wider value depends on the machine"},
        RefusalCase{"char a[] = \"\\x80\";", 2, "line 1: the string holds a char of 0x80 or above, whose wider value depends on the machine"},
        RefusalCase{"const char *a[] = {\"x\"};", 0, "line 1: the array holds pointers"},
        RefusalCase{"int a = {1};", 0, "line 1: '=' does not initialise an array"},
        RefusalCase{"unsigned char a[2] = {1, 2, 3};", 0, "line 1: more elements than the array holds"},
        RefusalCase{"unsigned char a[] = {[2] = 1, [1] = 2};", 0, "line 1: '[1]' goes back to an element already written"},
        RefusalCase{"unsigned char a[2] = {[2] = 1};", 0, "line 1: '[2]' is past the end of the array"},
        RefusalCase{"int a[] = {.x = 1};", 0, "line 1: '.x' names a member of a structure"},
        RefusalCase{"int a[2][2] = {[1][0] = 1};", 0, "line 1: '[1][0]' is a designator the reader does not take"},
        RefusalCase{"struct p q = {1}; int a[] = {1};", 0, "line 1: '=' does not initialise an array"},
        RefusalCase{"int a[2][2] = {1, {2}};", 0, "line 1: '{' does not start a whole row"},
        RefusalCase{"int a[] = {{1}};", 0, "line 1: '{' goes deeper than the array's 1 dimension(s)"},
        RefusalCase{"char a[2] = \"abc\";", 0, "line 1: the string is longer than its array"},
        RefusalCase{"char a[] = \"ab\"\n#ifdef X\n\"c\"\n#endif\n;", 0, "line 2: '#ifdef' inside the initialiser is a condition the reader does not evaluate"},
        RefusalCase{"char a[] = L\"x\";", 0, "line 1: 'L\"' is a wide string"},
        RefusalCase{"wchar_t a[] = L\"x\";", 0, "line 1: 'wchar_t' elements are not integers"},
        RefusalCase{"int a[] = {\"x\"};", 0, "line 1: a string initialises only a char array"},
        RefusalCase{"char a[] = \"\\q\";", 0, "line 1: the string holds \\q, which the reader cannot decode"},
        RefusalCase{"char a[] = {'\\u00e9'};", 0, "line 1: ''\\u00e9'' has an escape the reader cannot decode"},
        RefusalCase{"unsigned char a[] = {'ab'};", 0, "line 1: ''ab'' is a multi-character constant"},
        RefusalCase{"int a[] = {-(int)-2147483648};", 0, "line 1: '-(int)-2147483648' overflows its type when negated"},
        RefusalCase{"int a[] = {1,,2};", 0, "line 1: ',' follows no element"},
        RefusalCase{"int a[] = {1, 2,\n3,\n,};", 0, "line 3: ',' follows no element"},
        RefusalCase{"unsigned char a[2] = {1,\n2,\r\n3, 4};", 0, "line 3: more elements than the array holds"},
        RefusalCase{"0x41,\n0x42,\n 0x100, 0x43,", 0, "line 3: '0x100' does not fit in one byte: name the width with c1 to c9"},
        RefusalCase{"char a[] = {1,\n\n0x7F,\n0x80,};", 2, "line 4: '0x80' holds a char of 0x80 or above, whose wider value depends on the machine"},
        RefusalCase{"int a[] = {1,\n2 3,};", 0, "line 2: '2 3' is an expression"},
        RefusalCase{"int a[] = {1, 2,\n#if X\n3,\n#endif\n};", 0, "line 2: '#if' inside the initialiser is a condition the reader does not evaluate"},
        RefusalCase{"int a[2][1] = {{1} 2};", 0, "line 1: '2' follows an element without a comma"},
        RefusalCase{"int x = 5;", 0, "no '=' is followed by an initialiser in braces"},
        RefusalCase{"int a[] = {1,\n 2", 0, "line 2: the initialiser is never closed"},
        RefusalCase{"0x1234", 0, "line 1: '0x1234' does not fit in one byte: name the width with c1 to c9"},
        RefusalCase{"1, 2; 3", 0, "line 1: '3' follows the end of the initialiser"},
        RefusalCase{"1, 2}", 0, "line 1: '}' closes no '{'"},
        RefusalCase{"{1, 2", 0, "line 1: the initialiser is never closed"},
        RefusalCase{"\"ab\"", 0, "line 1: a string initialises only a char array"},
        // A binary file given as source: its bytes escaped, so that the message stays one line.
        RefusalCase{std::string("\x7F" "ELF\2\1\1\0\0\0\n\x1B", 12), 0, "line 1: $'\\x7FELF\\x02\\x01\\x01\\x00\\x00\\x00\\E' is an expression"},
        RefusalCase{"unsigned char a[] = {0x41, \xFF\xFE};", 0, "line 1: $'\\xFF\\xFE' is a macro or enum name"}));
// clang-format on

// Random initialisers of every form the reader takes, each element's bytes
// worked out as it is written; the text is read in random pieces.
TEST(CSource, RandomInitialisersMatchTheirElementsInAnyPieces)
{
    std::mt19937_64 random(20261207);
    const char* const kFillers[] = {" ", "\n", "/* 1, 2 */", "// 3, 4\n", "\\\n", "\t"};
    for (int round = 0; round < 300; ++round) {
        const int width = static_cast<int>(random() % 9) + 1;
        std::string source = "static const mytype a[] = {";
        std::string expected;
        const int count = static_cast<int>(random() % 20);
        for (int k = 0; k < count; ++k) {
            const std::uint64_t magnitude = random() >> (random() % 64);
            const bool negative = random() % 3 == 0 && magnitude <= 0x7FFFFFFFFFFFFFFF;
            std::ostringstream element;
            switch (random() % 4) {
            case 0: element << "0x" << std::hex << magnitude << "ULL"; break;
            case 1: element << "0" << std::oct << magnitude << "ull"; break;
            case 2: element << magnitude << "uLL"; break;
            default: element << magnitude << "llu"; break;
            }
            // Unsigned long long: negation wraps at 64 bits, the ninth byte is 0.
            const std::uint64_t value = negative ? ~magnitude + 1 : magnitude;
            for (int b = 0; b < width; ++b)
                expected += static_cast<char>(b < 8 ? value >> (8 * b) : 0);
            source += std::string(negative ? "-" : "") + kFillers[random() % std::size(kFillers)] + element.str();
            source += kFillers[random() % std::size(kFillers)];
            source += ",";
        }
        source += "};\nunsigned int a_len = 99;\n";
        const std::size_t piece = random() % 17 + 1;
        const CReading reading = ReadC(source, width, piece);
        ASSERT_TRUE(reading.read) << source << "\n" << reading.error;
        ASSERT_EQ(reading.bytes, expected) << source << " in pieces of " << piece;
    }
}

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

// What the xxd tool writes for a file.
std::string XxdInclude(const std::string& bytes)
{
    std::ostringstream header;
    header << "unsigned char f_bin[] = {";
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        header << (k % 12 == 0 ? "\n  " : " ") << "0x" << std::hex << (static_cast<unsigned>(bytes[k]) & 0xFF) / 16
               << (static_cast<unsigned>(bytes[k]) & 0xF) << std::dec << (k + 1 < bytes.size() ? "," : "");
    }
    header << "\n};\nunsigned int f_bin_len = " << bytes.size() << ";\n";
    return header.str();
}

TEST(CSourceConversion, AnIncludeHeaderGivesItsFileBack)
{
    std::mt19937 random(7);
    CTempDir dir;
    for (std::size_t size : {0, 1, 12, 13, 4095, 100000}) {
        std::string bytes(size, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random());
        CArrayCodec codec;
        codec.SetSourcePath(dir.Write("f.h", XxdInclude(bytes)));
        codec.SetDestPath(dir.Path("f"));
        const CConversionResult result = codec.CSourceToBin(0, 1);
        ASSERT_TRUE(result) << result.message;
        EXPECT_EQ(CTempDir::Read(dir.Path("f")), bytes) << size << " bytes";
    }
}

TEST(CSourceConversion, ARefusalNamesTheFileAndLeavesTheDestinationAlone)
{
    CTempDir dir;
    dir.Write("out", "precious");
    CArrayCodec codec;
    codec.SetSourcePath(dir.Write("fw.h", "/* fw */\nstatic const u8 fw[] = {\n  0x01,\n  192+32,\n};\n"));
    codec.SetDestPath(dir.Path("out"));
    const CConversionResult result = codec.CSourceToBin(0, 1);
    EXPECT_EQ(result.outcome, EOutcome::Failed);
    EXPECT_EQ(result.failure, EFailure::NotACArray);
    EXPECT_EQ(result.path, dir.Path("fw.h"));
    EXPECT_EQ(result.message, "cannot read '" + dir.Path("fw.h") + "': line 4: '192+32' is an expression");
    EXPECT_EQ(CTempDir::Read(dir.Path("out")), "precious");
}

TEST(CSourceConversion, TakesByteUnitsZeroToNineOnly)
{
    CTempDir dir;
    CArrayCodec codec;
    codec.SetSourcePath(dir.Write("a.h", "1"));
    codec.SetDestPath(dir.Path("out"));
    EXPECT_EQ(codec.CSourceToBin(10, 1).message, "byte unit 10 is not between 1 and 9");
    EXPECT_EQ(codec.CSourceToBin(-1, 1).failure, EFailure::BadByteUnit);
    const CConversionResult result = codec.CSourceToBin(0, 1);
    EXPECT_TRUE(result) << result.message;
    EXPECT_EQ(CTempDir::Read(dir.Path("out")), "\1");
}

} // namespace
