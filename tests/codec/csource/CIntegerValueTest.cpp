#include "CIntegerValue.h"
#include "CLiteral.h"
#include "ExpressionTesting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A literal as C types it with a long of longWidth bytes, or the refusal;
// the reader's tests see only the bytes after the conversion to the
// element type, which hides the type.
struct LiteralCase
{
    std::string_view text;
    int longWidth;
    std::uint64_t bits;
    int width;
    bool isSigned;
    std::string_view refusal;
};

// The first type of C's list for the literal's form that holds it: a
// decimal one without u goes on to the wider signed type, hex, octal and
// binary ones take the unsigned type between. With a 32-bit long (Windows,
// ARM) a literal past int's range goes on to long long, and a hex one takes
// unsigned long between.
// clang-format off
const LiteralCase kLiteralCases[] = {
    {"0", 8, 0, 4, true, {}},
    {"2147483647", 8, 0x7FFFFFFF, 4, true, {}},
    {"2147483648", 8, 0x80000000, 8, true, {}},
    {"0x80000000", 8, 0x80000000, 4, false, {}},
    {"020000000000", 8, 0x80000000, 4, false, {}},
    {"0b11111111111111111111111111111111", 8, 0xFFFFFFFF, 4, false, {}},
    {"4294967296", 8, 0x100000000, 8, true, {}},
    {"0xFFFFFFFFFFFFFFFF", 8, ~std::uint64_t{0}, 8, false, {}},
    {"9223372036854775807", 8, 0x7FFFFFFFFFFFFFFF, 8, true, {}},
    {"1u", 8, 1, 4, false, {}},
    {"0xffffffffU", 8, 0xFFFFFFFF, 4, false, {}},
    {"1l", 8, 1, 8, true, {}},
    {"1LL", 8, 1, 8, true, {}},
    {"1ul", 8, 1, 8, false, {}},
    {"1LLu", 8, 1, 8, false, {}},
    {"0xE5", 8, 0xE5, 4, true, {}},
    {"1'000'000", 8, 1000000, 4, true, {}},
    {"0'7", 8, 7, 4, true, {}},
    {"0x80000000L", 8, 0x80000000, 8, true, {}},
    {"2147483648", 4, 0x80000000, 8, true, {}},
    {"4294967296", 4, 0x100000000, 8, true, {}},
    {"1l", 4, 1, 4, true, {}},
    {"1LL", 4, 1, 8, true, {}},
    {"0x80000000L", 4, 0x80000000, 4, false, {}},
    {"4294967296L", 4, 0x100000000, 8, true, {}},
    {"1ul", 4, 1, 4, false, {}},
    {"0xFFFFFFFFFFFFFFFFl", 4, ~std::uint64_t{0}, 8, false, {}},
    {"9223372036854775808", 8, 0, 0, false, "is too large for any signed type"},
    {"9223372036854775808", 4, 0, 0, false, "is too large for any signed type"},
    {"18446744073709551616", 8, 0, 0, false, "is too large for any integer type"},
    {"08", 8, 0, 0, false, "is not a valid number"},
    {"0x", 8, 0, 0, false, "is not a valid number"},
    {"0b102", 8, 0, 0, false, "is not a valid number"},
    {"1lL", 8, 0, 0, false, "is not a valid number"},
    {"1uu", 8, 0, 0, false, "is not a valid number"},
    {"1''0", 8, 0, 0, false, "is not a valid number"},
    {"1'", 8, 0, 0, false, "is not a valid number"},
    {"0x'1", 8, 0, 0, false, "is not a valid number"},
    {"1.0", 8, 0, 0, false, "is a floating value"},
    {"1e5", 8, 0, 0, false, "is a floating value"},
    {"0x1p4", 8, 0, 0, false, "is a floating value"},
};
// clang-format on

// Reading refuses what is no integer literal; typing refuses what no type holds.
CEvaluated Typed(const LiteralCase& c)
{
    const CIntegerLiteral literal = ReadIntegerLiteral(c.text);
    if (literal.refusal)
        return {{}, literal.refusal};
    return TypedIntegerLiteral(literal, c.longWidth);
}

class CTypedIntegerLiteral : public testing::TestWithParam<LiteralCase>
{};

TEST_P(CTypedIntegerLiteral, TakesTheTypeCGivesIt)
{
    const LiteralCase& c = GetParam();
    const CEvaluated evaluated = Typed(c);
    if (!c.refusal.empty()) {
        EXPECT_EQ(evaluated.refusal ? std::string_view(evaluated.refusal) : "(none)", c.refusal) << c.text;
        return;
    }
    ASSERT_EQ(evaluated.refusal, nullptr) << c.text << ": " << evaluated.refusal;
    EXPECT_EQ(evaluated.value.bits, c.bits) << c.text << " with long " << c.longWidth;
    EXPECT_EQ(evaluated.value.width, c.width) << c.text << " with long " << c.longWidth;
    EXPECT_EQ(evaluated.value.isSigned, c.isSigned) << c.text << " with long " << c.longWidth;
}

INSTANTIATE_TEST_SUITE_P(Literals, CTypedIntegerLiteral, testing::ValuesIn(kLiteralCases));

// The character literals no compiled row holds: u8 takes one character
// under 0x80, and an empty literal has no value.
struct CharacterCase
{
    std::string_view text;
    std::int64_t value;
    std::string_view refusal;
};

// clang-format off
const CharacterCase kCharacterCases[] = {
    {"u8'a'", 'a', {}},
    {"u8'\\x7f'", 0x7F, {}},
    {"u8'\\x80'", 0, "is not one character under 0x80"},
    {"u8'ab'", 0, "is not one character under 0x80"},
    {"''", 0, "is an empty character constant"},
};
// clang-format on

class CCharacterConstant : public testing::TestWithParam<CharacterCase>
{};

TEST_P(CCharacterConstant, IsTheIntCGivesIt)
{
    const CharacterCase& c = GetParam();
    const std::vector<CExprToken> tokens = ExpressionTokens(c.text);
    ASSERT_EQ(tokens.size(), 1U) << c.text;
    const CEvaluatedConstant evaluated
        = CharacterConstant(tokens[0], AbiFor(CAbiName::X86_64Linux), CExpressionMode::Program);
    EXPECT_EQ(evaluated.refusal, c.refusal) << c.text;
    if (!c.refusal.empty())
        return;
    EXPECT_EQ(evaluated.value.integer.Signed(), c.value) << c.text;
    EXPECT_EQ(evaluated.value.integer.width, 4) << c.text;
    EXPECT_TRUE(evaluated.value.integer.isSigned) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Characters, CCharacterConstant, testing::ValuesIn(kCharacterCases));

} // namespace
