#include "CIntegerValue.h"

#include "textarray/HexTables.h"

#include <array>
#include <limits>

namespace {

std::uint64_t Mask(int width)
{
    return width >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * width)) - 1;
}

CIntegerValue Normalised(std::uint64_t bits, int width, bool isSigned)
{
    CIntegerValue value;
    value.width = width;
    value.isSigned = isSigned;
    bits &= Mask(width);
    if (isSigned && width < 8 && (bits >> (8 * width - 1)) != 0)
        bits |= ~Mask(width);
    value.bits = bits;
    return value;
}

// c's value as a digit of base (16 at most), or kNotADigit.
int DigitOf(char c, int base)
{
    const int value = hex_tables::HexValueOf(static_cast<unsigned char>(c));
    return value < base ? value : hex_tables::kNotADigit;
}

bool ReadSuffix(std::string_view text, CIntegerLiteral& suffix)
{
    if (!text.empty() && (text.front() == 'u' || text.front() == 'U')) {
        suffix.isUnsigned = true;
        text.remove_prefix(1);
    }
    for (std::string_view longSuffix : {"ll", "LL", "l", "L"}) {
        if (text.substr(0, longSuffix.size()) == longSuffix) {
            suffix.longs = static_cast<int>(longSuffix.size());
            text.remove_prefix(longSuffix.size());
            break;
        }
    }
    if (!suffix.isUnsigned && !text.empty() && (text.front() == 'u' || text.front() == 'U')) {
        suffix.isUnsigned = true;
        text.remove_prefix(1);
    }
    return text.empty();
}

} // namespace

unsigned char CIntegerValue::Byte(int k) const
{
    if (k >= 8)
        return isSigned && Signed() < 0 ? 0xFF : 0x00;
    return static_cast<unsigned char>(bits >> (8 * k));
}

CIntegerValue MakeInteger(std::uint64_t bits, int width, bool isSigned)
{
    return Normalised(bits, width, isSigned);
}

CIntegerLiteral ReadIntegerLiteral(std::string_view text)
{
    CIntegerLiteral literal;
    const bool hex = text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const bool binary = text.size() > 1 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B');
    for (char c : text)
        if (c == '.' || (hex ? c == 'p' || c == 'P' : c == 'e' || c == 'E'))
            return {.refusal = "is a floating value"};
    const int base = hex ? 16 : binary ? 2 : text[0] == '0' ? 8 : 10;
    literal.decimal = base == 10;
    std::size_t at = hex || binary ? 2 : 0;
    int digits = 0;
    for (; at < text.size(); ++at) {
        if (text[at] == '\'') {
            // A separator stands between two digits.
            if (digits == 0 || at + 1 >= text.size() || DigitOf(text[at + 1], base) == hex_tables::kNotADigit)
                return {.refusal = "is not a valid number"};
            continue;
        }
        const int digit = DigitOf(text[at], base);
        if (digit == hex_tables::kNotADigit) {
            // 8 and 9 in an octal literal make it invalid, not a suffix.
            if (base == 8 && hex_tables::IsDecimalDigit(static_cast<unsigned char>(text[at])))
                return {.refusal = "is not a valid number"};
            break;
        }
        if (literal.magnitude > (std::numeric_limits<std::uint64_t>::max() - static_cast<unsigned>(digit)) / base)
            return {.refusal = "is too large for any integer type"};
        literal.magnitude = literal.magnitude * base + static_cast<unsigned>(digit);
        ++digits;
    }
    if (digits == 0 || !ReadSuffix(text.substr(at), literal))
        return {.refusal = "is not a valid number"};
    return literal;
}

CEvaluated TypedIntegerLiteral(const CIntegerLiteral& literal, int longWidth)
{
    // int, long and long long from the suffix's rank on; each signed unless
    // u says otherwise, then unsigned for a hex, octal or binary literal.
    const std::array<int, 3> widths = {4, longWidth, 8};
    const bool mayBeUnsigned = literal.isUnsigned || !literal.decimal;
    for (std::size_t rank = static_cast<std::size_t>(literal.longs); rank < widths.size(); ++rank) {
        const int width = widths[rank];
        if (!literal.isUnsigned && literal.magnitude <= Mask(width) >> 1)
            return {Normalised(literal.magnitude, width, true), nullptr};
        if (mayBeUnsigned && literal.magnitude <= Mask(width))
            return {Normalised(literal.magnitude, width, false), nullptr};
    }
    return {{}, "is too large for any signed type"};
}

CIntegerValue ConvertTo(CIntegerValue value, const CIntegerType& type)
{
    return Normalised(value.bits, type.width, type.isSigned);
}

CIntegerValue Promote(CIntegerValue value)
{
    if (value.width >= 4)
        return value;
    return Normalised(value.bits, 4, true);
}

CEvaluated Negate(CIntegerValue value)
{
    value = Promote(value);
    const std::uint64_t signBit = std::uint64_t{1} << (8 * value.width - 1);
    if (value.isSigned && (value.bits & Mask(value.width)) == signBit)
        return {{}, "overflows its type when negated"};
    return {Normalised(~value.bits + 1, value.width, value.isSigned), nullptr};
}
