#include "CIntegerValue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A value as C types it, or the refusal; the reader's tests see only the
// bytes after the conversion to the element type, which hides the type.
struct ValueCase
{
    std::string_view text;
    std::uint64_t bits;
    int width;
    bool isSigned;
    std::string_view refusal;
};

void ExpectValue(const CEvaluated& evaluated, const ValueCase& c)
{
    if (!c.refusal.empty()) {
        EXPECT_EQ(evaluated.refusal ? std::string_view(evaluated.refusal) : "(none)", c.refusal) << c.text;
        return;
    }
    ASSERT_EQ(evaluated.refusal, nullptr) << c.text << ": " << evaluated.refusal;
    EXPECT_EQ(evaluated.value.bits, c.bits) << c.text;
    EXPECT_EQ(evaluated.value.width, c.width) << c.text;
    EXPECT_EQ(evaluated.value.isSigned, c.isSigned) << c.text;
}

// The first type of C's list for the literal's form that holds it: a
// decimal one without u goes on to the wider signed type, hex, octal and
// binary ones take the unsigned type between.
// clang-format off
const ValueCase kLiteralCases[] = {
    {"0", 0, 4, true, {}},
    {"2147483647", 0x7FFFFFFF, 4, true, {}},
    {"2147483648", 0x80000000, 8, true, {}},
    {"0x80000000", 0x80000000, 4, false, {}},
    {"020000000000", 0x80000000, 4, false, {}},
    {"0b11111111111111111111111111111111", 0xFFFFFFFF, 4, false, {}},
    {"4294967296", 0x100000000, 8, true, {}},
    {"0xFFFFFFFFFFFFFFFF", ~std::uint64_t{0}, 8, false, {}},
    {"9223372036854775807", 0x7FFFFFFFFFFFFFFF, 8, true, {}},
    {"1u", 1, 4, false, {}},
    {"0xffffffffU", 0xFFFFFFFF, 4, false, {}},
    {"1l", 1, 8, true, {}},
    {"1LL", 1, 8, true, {}},
    {"1ul", 1, 8, false, {}},
    {"1LLu", 1, 8, false, {}},
    {"0xE5", 0xE5, 4, true, {}},
    {"1'000'000", 1000000, 4, true, {}},
    {"0'7", 7, 4, true, {}},
    {"9223372036854775808", 0, 0, false, "is too large for any signed type"},
    {"18446744073709551616", 0, 0, false, "is too large for any integer type"},
    {"08", 0, 0, false, "is not a valid number"},
    {"0x", 0, 0, false, "is not a valid number"},
    {"0b102", 0, 0, false, "is not a valid number"},
    {"1lL", 0, 0, false, "is not a valid number"},
    {"1uu", 0, 0, false, "is not a valid number"},
    {"1''0", 0, 0, false, "is not a valid number"},
    {"1'", 0, 0, false, "is not a valid number"},
    {"0x'1", 0, 0, false, "is not a valid number"},
    {"1.0", 0, 0, false, "is a floating value"},
    {"1e5", 0, 0, false, "is a floating value"},
    {"0x1p4", 0, 0, false, "is a floating value"},
};
// clang-format on

class CIntegerLiteral : public testing::TestWithParam<ValueCase>
{};

TEST_P(CIntegerLiteral, TakesTheTypeCGivesIt)
{
    ExpectValue(ParseIntegerLiteral(GetParam().text), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Literals, CIntegerLiteral, testing::ValuesIn(kLiteralCases));

// With a 32-bit long (Windows, ARM) a literal past int's range goes on to
// long long, and a hex one takes unsigned long between.
struct LongWidthCase
{
    std::string_view text;
    int longWidth;
    ValueCase expected;
};

// clang-format off
const LongWidthCase kLongWidthCases[] = {
    {"2147483648", 4, {"", 0x80000000, 8, true, {}}},
    {"2147483648", 8, {"", 0x80000000, 8, true, {}}},
    {"0x80000000L", 4, {"", 0x80000000, 4, false, {}}},
    {"0x80000000L", 8, {"", 0x80000000, 8, true, {}}},
    {"4294967296L", 4, {"", 0x100000000, 8, true, {}}},
    {"1ul", 4, {"", 1, 4, false, {}}},
    {"0xFFFFFFFFFFFFFFFFl", 4, {"", ~std::uint64_t{0}, 8, false, {}}},
    {"9223372036854775808", 4, {"", 0, 0, false, "is too large for any signed type"}},
};
// clang-format on

class CIntegerLiteralLongWidth : public testing::TestWithParam<LongWidthCase>
{};

TEST_P(CIntegerLiteralLongWidth, TakesThePlatformsLongInItsList)
{
    const LongWidthCase& c = GetParam();
    const ::CIntegerLiteral literal = ReadIntegerLiteral(c.text);
    ASSERT_EQ(literal.refusal, nullptr) << c.text;
    ValueCase expected = c.expected;
    expected.text = c.text;
    ExpectValue(TypedIntegerLiteral(literal, c.longWidth), expected);
}

INSTANTIATE_TEST_SUITE_P(Literals, CIntegerLiteralLongWidth, testing::ValuesIn(kLongWidthCases));

// A character literal's prefix and decoded bytes: a plain one is a char
// promoted to int, its sign in doubt from 0x80 up.
struct CharacterCase
{
    std::string_view prefix;
    std::string_view bytes;
    ValueCase expected;
    bool signDependent;
};

// clang-format off
const CharacterCase kCharacterCases[] = {
    {"", "A", {"'A'", 'A', 4, true, {}}, false},
    {"", "\x80", {"'\\x80'", ~std::uint64_t{0x7F}, 4, true, {}}, true},
    {"u8", "\x80", {"u8'\\x80'", 0x80, 4, true, {}}, false},
    {"L", "z", {"L'z'", 'z', 4, true, {}}, false},
    {"L", "\x80", {"L'\\x80'", 0, 0, false, "is a wide character"}, false},
    {"", "ab", {"'ab'", 0, 0, false, "is a multi-character constant"}, false},
    {"", "", {"''", 0, 0, false, "is an empty character"}, false},
};
// clang-format on

class CCharacterValue : public testing::TestWithParam<CharacterCase>
{};

TEST_P(CCharacterValue, IsTheIntCGivesIt)
{
    const CharacterCase& c = GetParam();
    const CEvaluated evaluated = CharacterValue(c.prefix, c.bytes);
    ExpectValue(evaluated, c.expected);
    EXPECT_EQ(evaluated.value.charSignDependent, c.signDependent) << c.expected.text;
}

INSTANTIATE_TEST_SUITE_P(Characters, CCharacterValue, testing::ValuesIn(kCharacterCases));

// The words before an array's name: qualifiers and unknown attribute
// macros beside a known type are passed over.
struct TypeCase
{
    std::vector<std::string> words;
    CTypeVerdict verdict;
    CIntegerType type;
    std::string word;
};

// clang-format off
const TypeCase kTypeCases[] = {
    {{"char"}, CTypeVerdict::Integer, {1, true, true}, ""},
    {{"signed", "char"}, CTypeVerdict::Integer, {1, true, false}, ""},
    {{"static", "const", "unsigned", "char"}, CTypeVerdict::Integer, {1, false, false}, ""},
    {{"unsigned", "short", "int"}, CTypeVerdict::Integer, {2, false, false}, ""},
    {{"unsigned"}, CTypeVerdict::Integer, {4, false, false}, ""},
    {{"long", "long"}, CTypeVerdict::Integer, {8, true, false}, ""},
    {{"unsigned", "long", "long", "int"}, CTypeVerdict::Integer, {8, false, false}, ""},
    {{"PROGMEM", "const", "uint16_t"}, CTypeVerdict::Integer, {2, false, false}, ""},
    {{"DWORD"}, CTypeVerdict::Integer, {4, false, false}, ""},
    {{"unsigned", "long"}, CTypeVerdict::NotFixedWidth, {}, "long"},
    {{"const", "mytype"}, CTypeVerdict::NoBaseType, {}, "mytype"},
    {{"struct", "pixel"}, CTypeVerdict::NotInteger, {}, "struct"},
    {{"const", "float"}, CTypeVerdict::NotInteger, {}, "float"},
    {{"size_t"}, CTypeVerdict::NotInteger, {}, "size_t"},
};
// clang-format on

class CIntegerTypeWords : public testing::TestWithParam<TypeCase>
{};

TEST_P(CIntegerTypeWords, NameTheTypeOrWhyNot)
{
    const TypeCase& c = GetParam();
    const CTypeReading reading = ReadIntegerType(c.words);
    EXPECT_EQ(reading.verdict, c.verdict) << testing::PrintToString(c.words);
    if (c.verdict != CTypeVerdict::Integer) {
        EXPECT_EQ(reading.word, c.word) << testing::PrintToString(c.words);
        return;
    }
    EXPECT_EQ(reading.type.width, c.type.width) << testing::PrintToString(c.words);
    EXPECT_EQ(reading.type.isSigned, c.type.isSigned) << testing::PrintToString(c.words);
    EXPECT_EQ(reading.type.plainChar, c.type.plainChar) << testing::PrintToString(c.words);
}

INSTANTIATE_TEST_SUITE_P(Declarations, CIntegerTypeWords, testing::ValuesIn(kTypeCases));

} // namespace
