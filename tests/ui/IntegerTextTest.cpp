#include "IntegerText.h"

#include <QString>

#include <gtest/gtest.h>

#include <climits>

namespace {

struct IntegerCase
{
    const char16_t* text;
    std::optional<int> expected;
};

class IntegerText : public testing::TestWithParam<IntegerCase>
{
};

TEST_P(IntegerText, ReadsLikeTheDialogsIntegerExchange)
{
    const IntegerCase& c = GetParam();
    EXPECT_EQ(ParseIntegerText(QString::fromUtf16(c.text)), c.expected) << QString::fromUtf16(c.text).toStdString();
}

constexpr std::nullopt_t kRefused = std::nullopt;

INSTANTIATE_TEST_SUITE_P(Accepted, IntegerText,
    testing::Values(
        IntegerCase{u"7", 7},
        IntegerCase{u" 7 ", 7},
        IntegerCase{u"\t 7\t ", 7},
        IntegerCase{u"+5", 5},
        IntegerCase{u"-5", -5},
        IntegerCase{u"0", 0},
        IntegerCase{u" 00 ", 0},
        IntegerCase{u"0010", 10},
        IntegerCase{u"1000000", 1000000},
        IntegerCase{u"2147483647", INT_MAX},
        IntegerCase{u"2147483648", INT_MAX},
        IntegerCase{u"99999999999999999999", INT_MAX},
        IntegerCase{u"-2147483648", INT_MIN},
        IntegerCase{u"-99999999999999999999", INT_MIN},
        // Only the first 31 characters count.
        IntegerCase{u"1                              x", 1},
        IntegerCase{u"0000000000000000000000000000000000042", 0}));

INSTANTIATE_TEST_SUITE_P(Refused, IntegerText,
    testing::Values(
        IntegerCase{u"", kRefused},
        IntegerCase{u"   ", kRefused},
        IntegerCase{u"+", kRefused},
        IntegerCase{u"-", kRefused},
        IntegerCase{u"+0", kRefused},
        IntegerCase{u"-0", kRefused},
        IntegerCase{u"-00", kRefused},
        IntegerCase{u"7a", kRefused},
        IntegerCase{u"a7", kRefused},
        IntegerCase{u"0x7", kRefused},
        IntegerCase{u"7 7", kRefused},
        IntegerCase{u"7.0", kRefused},
        IntegerCase{u"- 7", kRefused},
        IntegerCase{u"\n7", kRefused},
        IntegerCase{u"７", kRefused},
        IntegerCase{u"                               7", kRefused}));

} // namespace
