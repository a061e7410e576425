#include "CIntegerArithmetic.h"

#include <limits>

namespace {

using Limits = std::numeric_limits<std::int64_t>;

constexpr const char* kOverflow = "overflows its type";
constexpr const char* kDivisionByZero = "divides by zero";

std::int64_t SignedMin(int width)
{
    return width >= 8 ? Limits::min() : -(std::int64_t{1} << (8 * width - 1));
}

std::int64_t SignedMax(int width)
{
    return width >= 8 ? Limits::max() : (std::int64_t{1} << (8 * width - 1)) - 1;
}

std::uint64_t Magnitude(std::int64_t value)
{
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

// a op b in 64 bits, false where even those overflow.
bool SignedResult(CBinaryOperator op, std::int64_t a, std::int64_t b, std::int64_t& result)
{
    switch (op) {
    case CBinaryOperator::Add:
        if ((b > 0 && a > Limits::max() - b) || (b < 0 && a < Limits::min() - b))
            return false;
        result = a + b;
        return true;
    case CBinaryOperator::Subtract:
        if ((b < 0 && a > Limits::max() + b) || (b > 0 && a < Limits::min() + b))
            return false;
        result = a - b;
        return true;
    case CBinaryOperator::Multiply: break;
    default: return false;
    }
    if (a == 0 || b == 0) {
        result = 0;
        return true;
    }
    const std::uint64_t magnitude = Magnitude(a), factor = Magnitude(b);
    if (magnitude > std::numeric_limits<std::uint64_t>::max() / factor)
        return false;
    const std::uint64_t product = magnitude * factor;
    const bool negative = (a < 0) != (b < 0);
    if (product > (negative ? Magnitude(Limits::min()) : static_cast<std::uint64_t>(Limits::max())))
        return false;
    result = static_cast<std::int64_t>(negative ? 0 - product : product);
    return true;
}

CEvaluated SignedArithmetic(CBinaryOperator op, const CIntegerValue& left, const CIntegerValue& right)
{
    const std::int64_t a = left.Signed(), b = right.Signed();
    std::int64_t result = 0;
    if (op == CBinaryOperator::Divide || op == CBinaryOperator::Remainder) {
        if (b == 0)
            return {{}, kDivisionByZero};
        // The quotient of the most negative value by -1 overflows, and C
        // leaves the remainder undefined with it.
        if (a == SignedMin(left.width) && b == -1)
            return {{}, kOverflow};
        result = op == CBinaryOperator::Divide ? a / b : a % b;
    } else if (!SignedResult(op, a, b, result)) {
        return {{}, kOverflow};
    }
    if (result < SignedMin(left.width) || result > SignedMax(left.width))
        return {{}, kOverflow};
    return {MakeInteger(static_cast<std::uint64_t>(result), left.width, true), nullptr};
}

// Unsigned arithmetic wraps modulo its width.
CEvaluated UnsignedArithmetic(CBinaryOperator op, const CIntegerValue& left, const CIntegerValue& right)
{
    const std::uint64_t a = MakeInteger(left.bits, left.width, false).bits;
    const std::uint64_t b = MakeInteger(right.bits, right.width, false).bits;
    std::uint64_t result = 0;
    switch (op) {
    case CBinaryOperator::Add: result = a + b; break;
    case CBinaryOperator::Subtract: result = a - b; break;
    case CBinaryOperator::Multiply: result = a * b; break;
    default:
        if (b == 0)
            return {{}, kDivisionByZero};
        result = op == CBinaryOperator::Divide ? a / b : a % b;
        break;
    }
    return {MakeInteger(result, left.width, false), nullptr};
}

// gcc shifts the bits of a non-negative value past the sign bit as C++20
// does; a negative value shifted left and a count outside the width are
// undefined.
CEvaluated Shift(CBinaryOperator op, const CIntegerValue& left, const CIntegerValue& right)
{
    if (right.isSigned && right.Signed() < 0)
        return {{}, "shifts by a negative count"};
    const std::uint64_t widthBits = 8 * static_cast<std::uint64_t>(left.width);
    if (MakeInteger(right.bits, right.width, false).bits >= widthBits)
        return {{}, "shifts by the width of its type or more"};
    const auto count = static_cast<int>(right.bits);
    if (op == CBinaryOperator::ShiftRight) {
        const std::uint64_t bits = left.isSigned ? static_cast<std::uint64_t>(left.Signed() >> count)
                                                 : MakeInteger(left.bits, left.width, false).bits >> count;
        return {MakeInteger(bits, left.width, left.isSigned), nullptr};
    }
    if (left.isSigned && left.Signed() < 0)
        return {{}, "shifts a negative value left"};
    return {MakeInteger(left.bits << count, left.width, left.isSigned), nullptr};
}

bool Compare(CBinaryOperator op, const CIntegerValue& left, const CIntegerValue& right)
{
    const bool less = left.isSigned ? left.Signed() < right.Signed() : left.bits < right.bits;
    const bool greater = left.isSigned ? left.Signed() > right.Signed() : left.bits > right.bits;
    switch (op) {
    case CBinaryOperator::Less: return less;
    case CBinaryOperator::Greater: return greater;
    case CBinaryOperator::LessEqual: return !greater;
    case CBinaryOperator::GreaterEqual: return !less;
    case CBinaryOperator::Equal: return !less && !greater;
    default: return less || greater;
    }
}

} // namespace

CEvaluated IntegerBinary(CBinaryOperator op, const CIntegerValue& left, const CIntegerValue& right)
{
    switch (op) {
    case CBinaryOperator::ShiftLeft:
    case CBinaryOperator::ShiftRight: return Shift(op, left, right);
    case CBinaryOperator::Less:
    case CBinaryOperator::Greater:
    case CBinaryOperator::LessEqual:
    case CBinaryOperator::GreaterEqual:
    case CBinaryOperator::Equal:
    case CBinaryOperator::NotEqual: return {MakeInteger(Compare(op, left, right) ? 1 : 0, 4, true), nullptr};
    case CBinaryOperator::BitAnd: return {MakeInteger(left.bits & right.bits, left.width, left.isSigned), nullptr};
    case CBinaryOperator::BitXor: return {MakeInteger(left.bits ^ right.bits, left.width, left.isSigned), nullptr};
    case CBinaryOperator::BitOr: return {MakeInteger(left.bits | right.bits, left.width, left.isSigned), nullptr};
    default: break;
    }
    return left.isSigned ? SignedArithmetic(op, left, right) : UnsignedArithmetic(op, left, right);
}
