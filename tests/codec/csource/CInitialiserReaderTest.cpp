#include "CInitialiserReader.h"
#include "CSourceReading.h"
#include "ProgramRun.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

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
const ReadCase kReadCases[] = {
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
        ReadCase{"unsigned char f[] = {\r\n  0x01, 0x02\r\n};\r\nunsigned int f_len = 2;\r\n", 0, "\1\2"}};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Bodies, CSourceRead, testing::ValuesIn(kReadCases));

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
const RefusalCase kRefusalCases[] = {
        RefusalCase{"int a[] = {192+32};", 0, "line 1: '192+32' is an expression"},
        RefusalCase{"int a[] = {\n1 << 3};", 0, "line 2: '1<<3' is an expression"},
        RefusalCase{"int a[] = {N1};", 0, "line 1: 'N1' is a macro or enum name"},
        RefusalCase{"int a[] = {-N1};", 0, "line 1: '-N1' is a macro or enum name"},
        RefusalCase{"int a[] = {CPU(1)};", 0, "line 1: 'CPU(1)' is a macro call"},
        RefusalCase{"int a[] = {(1)};", 0, "line 1: '(1)' is an expression"},
        RefusalCase{"int a[] = {\n#if X\n1,\n#endif\n};", 0, "line 2: '#if X' inside the initialiser is not read"},
        RefusalCase{"int a[] = {\n#include \"d.inc\"\n};", 0, "line 2: '#include \"d.inc\"' inside the initialiser is not read"},
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
        RefusalCase{"char a[] = \"ab\"\n#ifdef X\n\"c\"\n#endif\n;", 0, "line 2: '#ifdef X' inside the initialiser is not read"},
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
        RefusalCase{"int a[] = {1, 2,\n#if X\n3,\n#endif\n};", 0, "line 2: '#if X' inside the initialiser is not read"},
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
        RefusalCase{"unsigned char a[] = {0x41, \xFF\xFE};", 0, "line 1: $'\\xFF\\xFE' is a macro or enum name"}};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Constructs, CSourceRefusal, testing::ValuesIn(kRefusalCases));

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

} // namespace
