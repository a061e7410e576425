#include "IntegerText.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

namespace {

struct IntegerCase
{
    const char* text;
    std::optional<int> expected;
};

class IntegerText : public testing::TestWithParam<IntegerCase>
{};

TEST_P(IntegerText, ReadsLikeTheDialogsIntegerExchange)
{
    const IntegerCase& c = GetParam();
    EXPECT_EQ(ParseIntegerText(c.text), c.expected) << c.text;
}

constexpr std::nullopt_t kRefused = std::nullopt;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Accepted, IntegerText,
    testing::Values(
        IntegerCase{"7", 7},
        IntegerCase{" 7 ", 7},
        IntegerCase{"\t 7\t ", 7},
        IntegerCase{"+5", 5},
        IntegerCase{"-5", -5},
        IntegerCase{"0", 0},
        IntegerCase{" 00 ", 0},
        IntegerCase{"0010", 10},
        IntegerCase{"1000000", 1000000},
        IntegerCase{"2147483647", INT_MAX},
        IntegerCase{"2147483648", INT_MAX},
        IntegerCase{"99999999999999999999", INT_MAX},
        IntegerCase{"-2147483648", INT_MIN},
        IntegerCase{"-99999999999999999999", INT_MIN},
        // Only the first 31 characters count.
        IntegerCase{"1                              x", 1},
        IntegerCase{"1                              한", 1},
        IntegerCase{"0000000000000000000000000000000000042", 0}));
// clang-format on

// clang-format off
INSTANTIATE_TEST_SUITE_P(Refused, IntegerText,
    testing::Values(
        IntegerCase{"", kRefused},
        IntegerCase{"   ", kRefused},
        IntegerCase{"+", kRefused},
        IntegerCase{"-", kRefused},
        IntegerCase{"+0", kRefused},
        IntegerCase{"-0", kRefused},
        IntegerCase{"-00", kRefused},
        IntegerCase{"7a", kRefused},
        IntegerCase{"a7", kRefused},
        IntegerCase{"0x7", kRefused},
        IntegerCase{"7 7", kRefused},
        IntegerCase{"7.0", kRefused},
        IntegerCase{"- 7", kRefused},
        IntegerCase{"\n7", kRefused},
        IntegerCase{"７", kRefused},
        IntegerCase{"                               7", kRefused}));
// clang-format on

} // namespace
