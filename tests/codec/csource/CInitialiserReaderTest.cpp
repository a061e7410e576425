#include "CInitialiserReader.h"
#include "CSourceReading.h"
#include "CompilerOracle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Each declares the array "a" as C code would; each platform's compiler
// tells the bytes.
const char* const kCompiledCases[] = {
    "unsigned char a[] = {0x41, 66, 0103, 0b1000100, 0X4a};",
    "unsigned char a[] = { /* row 0 */ 1, 2, // 2 px\n 3, /*00-0F*/ 4 };",
    "unsigned char a[] = {1, 2, // 7, \\\n 99,\n 3 /* 4, \\\n 5 */ };",
    "signed char a[] = {-1, -128, 127, - -3};",
    "short a[] = {-1, 0x7FFF, -32768, 'z'};",
    "int a[] = {-1, 'A', '\\n', '\\x7f', '\\0', '\\'', '\"', '\\?', '\\177', '\\xff', 'ab'};",
    "uint32_t a[] = {0xDEADBEEF, 1u, 2UL, 3ll, 4LLU, -2};",
    "int64_t a[] = {-1, 0x8000000000000000, -0x80000000, -2147483648, 4294967295u, -1u};",
    "uint64_t a[] = {-1, 18446744073709551615u, 0x7fffffffffffffff};",
    "unsigned a[] = {4294967295, 1, -0x1};",
    "long long a[] = {-1LL, 1, 0x100000000};",
    "long a[] = {-1, 0x7fffffff, 1L << 20};",
    "unsigned long a[] = {-1};",
    "unsigned char a[8] = {1, 2};",
    "uint16_t a[2][3] = {{1}, {2, 3}};",
    "uint8_t a[][2] = {1, 2, 3};",
    "uint8_t a[][2][2] = {{{1}, {2, 3}}, {4}};",
    "int a[5] = {[3] = 7, 9};",
    "unsigned char a[2][2] = {[1] = {5, 6}};",
    "uint16_t a[3][2] = {[1] = 5, 6, [2] = {7}};",
    "int a[2][2] = {[1][0] = 1};",
    "int a[2][2] = {1, {2}};",
    "int a[] = {{{1}}, 2};",
    "unsigned char a[] = {[2] = 1, [4] = 2};",
    "char a[] = \"AB\\tC\";",
    "char a[7] = \"ab\"\n\"c\" \"d\";",
    "char a[6] = \"abc\";",
    "char a[3] = \"abc\";",
    "char a[][4] = {\"ab\", \"cde\"};",
    "char a[][3] = {{\"ab\"}, {\"c\"}};",
    "unsigned char a[] = {\"x\" \"y\\x41\" \"\\101\"};",
    "char a[] = u8\"\\xC3\\xA9\";",
    "char a[] = {127, 128, 0x80, 0xff, '\\x80'};",
    "uint8_t a[] = {(uint8_t)0x1FF, (uint8_t)-1, 0x1FF, (unsigned char)(signed char)-2};",
    "int16_t a[] = {(int8_t)200, -(short)1, +5, (const uint16_t)70000};",
    "int32_t a[] = {(uint8_t)-1, (int8_t)-1, -(unsigned)1, (long)-1};",
    "int n = 5; enum { K = 3 }; struct p { int x; }; unsigned char a[] = {7};",
    "static const unsigned char __attribute__((aligned(4))) a[] __attribute__((unused)) = {1, 2};",
    "const volatile unsigned short int a[] = {1, 0xFFFF};",
    "unsigned char a[] = {};",
    "unsigned char a[] = {0, 00, 010, 255, 0xFF, 256, 0x100, 0x0000000041, 0XaB,\r\n\t1,\f2,};",
    "int16_t a[] = {32767, 32768, 0x8000, 65535, 65536, 0x10000, 4294967296, 99999999999,};",
    "int a[] = {192+32, 1 << 3, (2 + 3) * 4, -7 / 2, -7 % 2, 1 ? 2 : 3, ~0u, !5, 3 > 2, 1 && 0};",
    "unsigned a[] = {sizeof(long), sizeof(int[3]), sizeof(short) * 2, sizeof 1.0, sizeof(wchar_t)};",
    // The file's own types and constants win over the names the reader knows.
    "typedef unsigned u16; static const u16 a[] = {0x0123, 0x4567};",
    "typedef unsigned long DWORD; DWORD a[] = {1, 2};",
    "typedef unsigned char byte_t; typedef byte_t row_t[3]; row_t a[] = {{1, 2, 3}, {4}};",
    "typedef short s16; typedef s16 level; level a[] = {-2, 40000};",
    "unsigned char pad[64], a[] = {1};",
    "int x = 5, a[] = {x + 0 == 5 ? 1 : 2};",
    "enum e { A = -1, B, C = 10 }; enum e a[] = {A, B, C, 7};",
    "enum { K = 5, L = K * 3 }; unsigned char a[K] = {K, L};",
    "enum big { BIG = 0x80000000 }; unsigned a[] = {BIG};",
    "struct s { char c; int x; short y; }; struct s a[] = {{1, 2, 3}, 4, 5, 6};",
    "struct p { uint8_t tag; uint16_t v[3]; }; const struct p a[2] = {{1, {2, 3}}, {5, .v[1] = 9}};",
    "typedef struct { double d; char c; } T; T a[] = {{1.5, 'x'}, {.c = 2}};",
    "struct q { int i; long long l; }; struct q a[] = {{1, 2}};",
    "struct m { char name[4]; int v; }; struct m a[] = {{\"ab\", 1}, {\"xyz\", 2}};",
    "struct n { struct { short a, b; } in; char c; }; struct n a[] = {{{1, 2}, 3}, {4}};",
    "float a[] = {1.5, 0.1, -2, 1e10, 0x1p-3, 3.4028235e38f, 1.0f / 3, 16777217};",
    "double a[] = {0.1, 1 / 3.0, 5 / 2, 1e-300 * 1e-10, -0.0, 0x1.8p1, 2.5f};",
    "int a[] = {2.9, -2.9, (int)1e9, 1.5 > 1};",
    "_Bool a[] = {0, 1, 2, -1, 0.5};",
    "bool a[] = {false, true, 5};",
    "wchar_t a[] = {L'x', 0x10FFFF, -1};",
    "char16_t a[] = {u'x', 0x12345};",
    "char32_t a[] = {U'x', -1};",
    "size_t a[] = {1, -1, sizeof(size_t)};",
    "ptrdiff_t a[] = {-1};",
    "uint_fast16_t a[] = {1};",
    "int_least8_t a[] = {-1};",
};

// The bytes the compiler stores for each case on one platform, or nothing
// when its compiler is missing.
std::vector<std::string> CompiledBytes(CAbiName abi)
{
    std::vector<COracleSource> sources;
    for (const char* source : kCompiledCases)
        sources.emplace_back(source);
    const COracleRun run = CompileWithOracle(abi, sources);
    if (!run.missing.empty())
        return {};
    std::vector<std::string> arrays;
    for (const COracleResult& result : run.results)
        arrays.push_back(
            result.compiled && result.found ? result.bytes : "(the compiler refused: " + result.error + ")");
    return arrays;
}

class CSourceCompiled : public testing::TestWithParam<CAbiName>
{};

TEST_P(CSourceCompiled, GivesTheBytesTheCompilerStores)
{
    const std::vector<std::string> compiled = CompiledBytes(GetParam());
    if (compiled.empty())
        GTEST_SKIP() << "no compiler for " << AbiNameOf(GetParam());
    ASSERT_EQ(compiled.size(), std::size(kCompiledCases));
    CSourceOptions options;
    options.abi = GetParam();
    for (std::size_t k = 0; k < compiled.size(); ++k) {
        const std::string source = kCompiledCases[k];
        for (std::size_t piece : {std::size_t{1} << 20, std::size_t{1}, std::size_t{3}}) {
            const CReading reading = ReadC(source, 0, piece, options);
            if (compiled[k].starts_with("(the compiler refused")) {
                EXPECT_FALSE(reading.read) << source << ": the compiler refuses it, the reader gave bytes";
                continue;
            }
            EXPECT_TRUE(reading.read) << source << "\n" << reading.error;
            EXPECT_EQ(reading.bytes, compiled[k]) << source << " in pieces of " << piece;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Platforms, CSourceCompiled,
    testing::Values(CAbiName::X86_64Linux, CAbiName::X86_64Windows, CAbiName::ArmEabi),
    [](const testing::TestParamInfo<CAbiName>& abi) { return PlatformTestName(abi.param); });

struct ReadCase
{
    std::string source;
    int byteUnit;
    std::string bytes;
};

class CSourceRead : public testing::TestWithParam<ReadCase>
{};

// What no compiler can tell: bodies pasted alone, widths other than the
// declared one, C++.
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
        ReadCase{"1 + 2, 3 << 1", 0, "\3\6"},
        ReadCase{"0xFFFFFFFFFFFFFFFF", 9, std::string(8, '\xFF') + '\0'},
        ReadCase{"unsigned char a[] = {1};", 3, std::string("\1\0\0", 3)},
        // c1 to c9 convert the value as written, never after cutting it to the declared width.
        ReadCase{"uint16_t a[] = {-1, 0x12345};", 4, std::string("\xFF\xFF\xFF\xFF\x45\x23\x01\0", 8)},
        ReadCase{"int8_t a[] = {-1};", 2, "\xFF\xFF"},
        ReadCase{"u16 a[] = {0x1234};", 0, "\x34\x12"},
        ReadCase{"WORD a[] = {0x12345678};", 4, "\x78\x56\x34\x12"},
        ReadCase{"static const BYTE a[] = {0xFF};", 1, "\xFF"},
        ReadCase{"typedef WORD table_t[2]; table_t a[] = {1, 2, 3};", 2, std::string("\1\0\2\0\3\0\0\0", 8)},
        ReadCase{"INT16 a[] = {-2};", 0, "\xFE\xFF"},
        ReadCase{"UINT64 a[] = {0x0102};", 0, std::string("\2\1\0\0\0\0\0\0", 8)},
        ReadCase{"mytype a[] = {0x1234, -1};", 2, "\x34\x12\xFF\xFF"},
        ReadCase{"long a[] = {-1};", 4, kNineFF.substr(0, 4)},
        ReadCase{"unsigned char a[] = {1}; unsigned char b[] = {2};", 0, "\1"},
        ReadCase{"unsigned char a[] = {1, 0xFF,};", 2, std::string("\1\0\xFF\0", 4)},
        ReadCase{"char a[] = \"\\x80\";", 2, std::string("\x80\xFF\0\0", 4)},
        ReadCase{"short a[] = {0x7FFF, 40000,};", 9, std::string("\xFF\x7F\0\0\0\0\0\0\0", 9) + std::string("\x40\x9C\0\0\0\0\0\0\0", 9)},
        ReadCase{"0x41,\n0xFF,", 3, std::string("\x41\0\0\xFF\0\0", 6)},
        ReadCase{"unsigned char f[] = {\r\n  0x01, 0x02\r\n};\r\nunsigned int f_len = 2;\r\n", 0, "\1\2"},
        ReadCase{"constexpr uint8_t a[] {1, 2, 3};", 0, "\1\2\3"},
        ReadCase{"extern \"C\" { static const uint8_t a[] = {4}; }", 0, "\4"},
        ReadCase{"namespace fw { const uint8_t a[] = {5}; }", 0, "\5"},
        ReadCase{"int f(void) { return 1; } uint8_t a[] = {6};", 0, "\6"},
        ReadCase{"static const uint8_t PROGMEM a[] = {7};", 0, "\7"},
        ReadCase{"__ALIGN_BEGIN uint8_t a[] __ALIGN_END = {8};", 0, "\x08"},
        ReadCase{"struct s { int x; }; struct s one = {1}; char a[] = {9};", 0, "\x09"}};
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
        RefusalCase{"int a[] = {N1};", 0, "line 1: 'N1' is not defined in the file: define it with -D"},
        RefusalCase{"int a[] = {CPU(1)};", 0, "line 1: 'CPU(1)': 'CPU' is not defined in the file: define it with -D"},
        RefusalCase{"static const BYTE a[] = {0xFF};", 0, "line 1: 'BYTE' is not a type the file defines: name the width with c1 to c9"},
        RefusalCase{"DWORD a[] = {1};", 0, "line 1: 'DWORD' is not a type the file defines: name the width with c1 to c9"},
        RefusalCase{"struct s a[] = {{1, 2}};", 0, "line 1: 'struct s' is not defined in the file"},
        RefusalCase{"struct { int x; } a[] = {1};", 1, "line 1: c1 reads integer elements only, and these are structures"},
        RefusalCase{"union u { int x; char c; } a[] = {1};", 0, "line 1: 'union u' is a union"},
        RefusalCase{"struct b { int x : 3; } a[] = {1};", 0, "line 1: 'struct b' has a bit-field"},
        RefusalCase{"struct p { char *s; } a[] = {0};", 0, "line 1: 'struct p' has a pointer, function or flexible member"},
        RefusalCase{"struct __attribute__((packed)) k { char c; int x; } a[] = {{1, 2}};", 0, "line 1: 'struct k' has an attribute that may change its layout"},
        RefusalCase{"typedef int v4 __attribute__((vector_size(16))); v4 a[] = {{1}};", 0, "line 1: 'v4' is defined with 'vector_size', which the reader does not apply"},
        RefusalCase{"int a[] __attribute__((mode(QI))) = {1};", 0, "line 1: the array is declared with 'mode', which the reader does not apply"},
        RefusalCase{"long double a[] = {1};", 0, "line 1: 'long double' is not a type the reader stores"},
        RefusalCase{"float a[] = {1.5};", 4, "line 1: c4 reads integer elements only, and these are floating values"},
        RefusalCase{"int a[] = {1e300};", 0, "line 1: '1e300' is out of the range of its integer type"},
        RefusalCase{"int a[] = {08};", 0, "line 1: '08' is not a valid number"},
        RefusalCase{"int a[] = {12ab};", 0, "line 1: '12ab' is not a valid number"},
        RefusalCase{"int a[] = {1 / 0};", 0, "line 1: '1/0' divides by zero"},
        RefusalCase{"int a[] = {2147483647 + 1};", 0, "line 1: '2147483647+1' overflows its type"},
        RefusalCase{"int a[] = {1 << 40};", 0, "line 1: '1<<40' shifts by the width of its type or more"},
        RefusalCase{"int a[] = {0x1FFFFFFFFFFFFFFFF};", 0, "line 1: '0x1FFFFFFFFFFFFFFFF' is too large for any integer type"},
        RefusalCase{"int a[N] = {1};", 0, "line 1: '[N]' is a size the reader cannot evaluate: 'N' is not defined in the file: define it with -D"},
        RefusalCase{"int a[2][N] = {1};", 0, "line 1: '[N]' is a size the reader cannot evaluate: 'N' is not defined in the file: define it with -D"},
        RefusalCase{"int a[-1] = {1};", 0, "line 1: '[-1]' is a negative size"},
        RefusalCase{"mytype a[] = {1};", 0, "line 1: 'mytype' is not a type the file defines: name the width with c1 to c9"},
        RefusalCase{"const char *a[] = {\"x\"};", 0, "line 1: the array holds pointers"},
        RefusalCase{"int a = {1};", 0, "the file initialises no array"},
        RefusalCase{"unsigned char a[2] = {1, 2, 3};", 0, "line 1: more elements than the array holds"},
        RefusalCase{"unsigned char a[] = {[2] = 1, [1] = 2};", 0, "line 1: '[1]' goes back to an element already written"},
        RefusalCase{"unsigned char a[2] = {[2] = 1};", 0, "line 1: '[2]' is past the end of the array"},
        RefusalCase{"unsigned char a[2][131072] = { [140737488355328] = {1} };", 0, "line 1: '[140737488355328]' is past the end of the array"},
        RefusalCase{"unsigned char a[1099511627776] = {1};", 0, "line 1: the array's 1099511627776 bytes are more than 1 GiB past what its source can give: the reader does not write them"},
        RefusalCase{"unsigned char a[] = {[1099511627776] = 1};", 0, "line 1: the array needs more than 1073741866 zero bytes, 1 GiB more than its source's size: the reader does not write them"},
        RefusalCase{"int a[] = {.x = 1};", 0, "line 1: '.x' names a member of no structure"},
        RefusalCase{"struct s { int x; } a[] = {{.y = 1}};", 0, "line 1: '.y' names no member of the structure"},
        RefusalCase{"char a[2] = \"abc\";", 0, "line 1: the string is longer than its array"},
        RefusalCase{"char a[] = L\"x\";", 0, "line 1: 'L\"' is a wide string"},
        RefusalCase{"int a[] = {\"x\"};", 0, "line 1: a string initialises only a char array"},
        RefusalCase{"char a[] = \"\\q\";", 0, "line 1: the string holds \\q, which the reader cannot decode"},
        RefusalCase{"int a[] = {1,,2};", 0, "line 1: ',' follows no element"},
        RefusalCase{"unsigned char a[2] = {1,\n2,\r\n3, 4};", 0, "line 3: more elements than the array holds"},
        RefusalCase{"0x41,\n0x42,\n 0x100, 0x43,", 0, "line 3: '0x100' does not fit in one byte: name the width with c1 to c9"},
        RefusalCase{"int a[] = {1,\n2 3,};", 0, "line 2: '2 3' has '3' where it should end"},
        RefusalCase{"int a[2][1] = {{1} 2};", 0, "line 1: '2' follows an element without a comma"},
        RefusalCase{"int x = 5;", 0, "the file initialises no array"},
        RefusalCase{"int a[] = {1,\n 2", 0, "line 2: the initialiser is never closed"},
        RefusalCase{"0x1234", 0, "line 1: '0x1234' does not fit in one byte: name the width with c1 to c9"},
        RefusalCase{"1, 2; 3", 0, "line 1: '3' follows the end of the initialiser"},
        RefusalCase{"1, 2}", 0, "line 1: '}' closes no '{'"},
        RefusalCase{"{1, 2", 0, "line 1: the initialiser is never closed"},
        RefusalCase{"\"ab\"", 0, "line 1: a string initialises only a char array"},
        RefusalCase{"double a[] = {1.0};", 4, "line 1: c4 reads integer elements only, and these are floating values"},
        // A binary file given as source: its bytes escaped, so that the message stays one line.
        RefusalCase{std::string("\x7F" "ELF\2\1\1\0\0\0\n\x1B", 12), 0, "line 1: $'\\x7FELF\\x02\\x01\\x01\\x00\\x00\\x00\\E' has '\\x7F' where a value should stand"},
        RefusalCase{"unsigned char a[] = {0x41, \xFF\xFE};", 0, "line 1: $'\\xFF\\xFE' is not defined in the file: define it with -D"}};
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

namespace {

// The file's own macros and conditions, the array chosen by name, and -D
// and -U as the compiler takes them: each platform's compiler tells the
// bytes, the conditions on its predefined macros included.
const COracleSource kChosenCases[] = {
    {"char a[] = {1}; short b[] = {2, 3};", "b"},
    {"#ifdef X\nunsigned char a[] = {9};\n#else\nunsigned char a[] = {1};\n#endif", "a", {{"X", "1", false}}},
    {"#ifdef X\nunsigned char a[] = {9};\n#else\nunsigned char a[] = {1};\n#endif", "a",
        {{"X", "1", false}, {"X", "", true}}},
    {"#if MODE == 2\nconst short a[] = {MODE};\n#elif MODE > 2\nconst short a[] = {-MODE};\n#endif", "a",
        {{"MODE", "3", false}}},
    {"#define WORD unsigned int\nstatic const WORD a[] = {0x428a2f98, 0x71374491};"},
    {"#define u8 int\nu8 a[] = {1};"},
    {"#if 0\nunsigned char a[] = {9};\n#endif\nunsigned char a[] = {1};"},
    {"#define T(x) (x) * 2, (x) + 1\n#define CAT(a, b) a##b\nshort CAT(ta, ble)[] = {T(1), T(CAT(0x, 10))};", "table"},
    {"#ifndef G_H\n#define G_H\n#include <stddef.h>\n#ifdef __cplusplus\nextern \"C\" {\n#endif\n#define N 3\n"
     "enum { A = N * 2 };\nstatic const uint8_t a[N] = {A, A + 1};\n#ifdef __cplusplus\n}\n#endif\n#endif\n"},
    {"#define CFG 1\nunsigned char a[] = {1,\n#if CFG\n2,\n#else\n3,\n#endif\n4};"},
    {"#define SQ(x) ((x) * (x))\n#define LEN 4\nint a[LEN] = {SQ(2), SQ(LEN - 1)};"},
    {"#define STR(s) #s\nchar a[] = STR(hello);"},
    {"#define V(...) __VA_ARGS__\nint a[] = {V(1, 2, 3)};"},
    {"#define EMPTY\nunsigned char EMPTY a[] = {EMPTY 1};"},
    {"unsigned char a[] = {__LINE__,\n__LINE__};"},
    {"#if defined(__x86_64__) && !defined(_WIN32)\nlong a[] = {1};\n#elif defined(_WIN32)\nlong long a[] = {2};\n"
     "#else\nshort a[] = {3};\n#endif"},
    {"#if __CHAR_UNSIGNED__\nchar a[] = {1, -1};\n#else\nchar a[] = {-1, 1};\n#endif"},
    {"#define BIG\n#ifdef BIG\ntypedef unsigned long long elem;\n#else\ntypedef unsigned char elem;\n#endif\n"
     "elem a[] = {1};"},
    {"#define F(n) { n, n + 1 }\nstruct p { short x, y; };\nconst struct p a[] = {F(1), F(3)};"},
};

class CSourceChosen : public testing::TestWithParam<CAbiName>
{};

TEST_P(CSourceChosen, GivesTheBytesABuildWithTheSameOptionsStores)
{
    const COracleRun run = CompileWithOracle(GetParam(), kChosenCases);
    if (!run.missing.empty())
        GTEST_SKIP() << run.missing;
    ASSERT_EQ(run.results.size(), std::size(kChosenCases));
    for (std::size_t k = 0; k < run.results.size(); ++k) {
        const COracleSource& c = kChosenCases[k];
        ASSERT_TRUE(run.results[k].compiled && run.results[k].found) << c.text << "\n" << run.results[k].error;
        CSourceOptions options;
        options.abi = GetParam();
        options.arrayName = c.symbol;
        options.macros = c.macros;
        for (std::size_t piece : {std::size_t{1} << 20, std::size_t{1}}) {
            const CReading reading = ReadC(c.text, 0, piece, options);
            EXPECT_TRUE(reading.read) << c.text << "\n" << reading.error;
            EXPECT_EQ(reading.bytes, run.results[k].bytes) << c.text << " in pieces of " << piece;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Platforms, CSourceChosen,
    testing::Values(CAbiName::X86_64Linux, CAbiName::X86_64Windows, CAbiName::ArmEabi),
    [](const testing::TestParamInfo<CAbiName>& abi) { return PlatformTestName(abi.param); });

// What the file leaves to a header or a build option is never guessed.
const RefusalCase kUndecidedCases[] = {
    {"#ifdef X\nunsigned char a[] = {9};\n#else\nunsigned char a[] = {1};\n#endif", 0,
        "the file initialises no array; one may stand under '#ifdef X' (line 1), which the reader cannot decide"},
    {"#ifdef CONFIG_BIG\nunsigned char big[] = {1};\n#endif\nunsigned char a[] = {2};", 0,
        "line 4: an array may stand before this one under '#ifdef CONFIG_BIG' (line 1), which the reader cannot "
        "decide: name the array with --array, or the condition with -D or -U"},
    {"#ifdef X\n#define N 4\n#endif\nint a[] = {N};", 0,
        "line 4: 'N' is defined under a condition the reader cannot decide: name it with -D or -U"},
    {"#ifdef X\ntypedef int T;\n#endif\nT a[] = {1};", 0,
        "line 4: 'T' is defined under a condition the reader cannot decide: name it with -D or -U"},
    {"unsigned char a[] = {1,\n#include \"d.inc\"\n};", 0,
        "line 2: the array's text depends on '#include \"d.inc\"', which the reader does not read"},
    {"unsigned char a[] = {1,\n#if CONFIG_X > 2\n2,\n#endif\n};", 0,
        "line 2: the array's text depends on '#if CONFIG_X > 2', which the reader cannot decide: define or undefine "
        "its names with -D or -U"},
    {"#pragma pack(1)\nstruct s { char c; int x; };\nstruct s a[] = {{1, 2}};", 0,
        "line 3: 'struct s' is laid out under '#pragma pack(1)', which the reader does not apply"},
    {"#error stop\nunsigned char a[] = {1};", 0, "line 1: the file stops at '#error'"},
    {"unsigned char a[] = {1};\nint bad[] = {1, 2", 0,
        "line 2: the file ends inside braces or parentheses opened after the array"},
    {std::string("unsigned char a[] = {0x") + std::string(300, '1') + "};", 0,
        "line 1: '0x" + std::string(58, '1')
            + "'... is longer than the 256 bytes the reader keeps of a name or number"},
};

INSTANTIATE_TEST_SUITE_P(Undecided, CSourceRefusal, testing::ValuesIn(kUndecidedCases));

// An array asked for by name that the text does not hold is refused, even
// where an empty or pasted text alone would read.
TEST(CSource, AnArrayAskedForByNameMustBeThere)
{
    CSourceOptions options;
    options.arrayName = "t";
    for (const char* source : {"", "0x41, 0x42", "unsigned char a[] = {1};"})
        EXPECT_FALSE(ReadC(source, 0, 1, options).read) << source;
}

TEST(CSource, AnArrayUnderAnUndecidedConditionIsReadWhenNamedApart)
{
    CSourceOptions options;
    options.arrayName = "a";
    const CReading reading
        = ReadC("#ifdef CONFIG_BIG\nunsigned char big[] = {1};\n#endif\nunsigned char a[] = {2};", 0, 1, options);
    EXPECT_TRUE(reading.read) << reading.error;
    EXPECT_EQ(reading.bytes, "\2");
}

} // namespace
