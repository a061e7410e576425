#include "CArithmetic.h"

#include "CIntegerArithmetic.h"

#include <cmath>

namespace {

bool IsFloating(const CConstant& value)
{
    return value.kind != CConstant::Kind::Integer;
}

bool IsIntegerOnly(CBinaryOperator op)
{
    return op == CBinaryOperator::Remainder || op == CBinaryOperator::ShiftLeft || op == CBinaryOperator::ShiftRight
        || op == CBinaryOperator::BitAnd || op == CBinaryOperator::BitXor || op == CBinaryOperator::BitOr;
}

bool IsComparison(CBinaryOperator op)
{
    return op >= CBinaryOperator::Less && op <= CBinaryOperator::NotEqual;
}

bool IsShift(CBinaryOperator op)
{
    return op == CBinaryOperator::ShiftLeft || op == CBinaryOperator::ShiftRight;
}

CScalarType IntegerType(int width, bool isSigned)
{
    return {CScalarType::Kind::Integer, width, isSigned, width};
}

CConstant Promoted(const CConstant& value)
{
    return IsFloating(value) ? value : IntegerConstant(Promote(value.integer));
}

CConstant Truth(bool value)
{
    return IntegerConstant(MakeInteger(value ? 1 : 0, 4, true));
}

CConstant ZeroOf(const CScalarType& type)
{
    return ConvertConstant(Truth(false), type).value;
}

CConstant ZeroLike(const CConstant& value)
{
    if (IsFloating(value)) {
        CConstant zero = value;
        zero.floating = 0;
        return zero;
    }
    return IntegerConstant(MakeInteger(0, value.integer.width, value.integer.isSigned));
}

// The arithmetic of x86-64 and ARM: float operands in float, double in
// double (FLT_EVAL_METHOD 0), each result rounded to its type.
template <typename T>
CEvaluatedConstant FloatingBinary(CBinaryOperator op, T a, T b, CConstant::Kind kind)
{
    T result = 0;
    switch (op) {
    case CBinaryOperator::Add: result = a + b; break;
    case CBinaryOperator::Subtract: result = a - b; break;
    case CBinaryOperator::Multiply: result = a * b; break;
    case CBinaryOperator::Divide:
        if (b == 0)
            return {{}, "divides by zero"};
        result = a / b;
        break;
    case CBinaryOperator::Less: return {Truth(a < b), {}};
    case CBinaryOperator::Greater: return {Truth(a > b), {}};
    case CBinaryOperator::LessEqual: return {Truth(a <= b), {}};
    case CBinaryOperator::GreaterEqual: return {Truth(a >= b), {}};
    case CBinaryOperator::Equal: return {Truth(a == b), {}};
    default: return {Truth(a != b), {}};
    }
    if (!std::isfinite(result))
        return {{}, "overflows its floating type"};
    CConstant value;
    value.kind = kind;
    value.floating = result;
    return {value, {}};
}

} // namespace

CScalarType CommonType(const CConstant& left, const CConstant& right)
{
    if (left.kind == CConstant::Kind::Double || right.kind == CConstant::Kind::Double)
        return {CScalarType::Kind::Double, 8, true, 8};
    if (IsFloating(left) || IsFloating(right))
        return {CScalarType::Kind::Float, 4, true, 4};
    const CIntegerValue a = Promote(left.integer), b = Promote(right.integer);
    if (a.isSigned == b.isSigned)
        return IntegerType(std::max(a.width, b.width), a.isSigned);
    const CIntegerValue& unsignedOne = a.isSigned ? b : a;
    const CIntegerValue& signedOne = a.isSigned ? a : b;
    // A wider signed type holds every value of the unsigned one; else both
    // go unsigned.
    if (signedOne.width > unsignedOne.width)
        return IntegerType(signedOne.width, true);
    return IntegerType(unsignedOne.width, false);
}

std::string OperandTypeError(CBinaryOperator op, const CConstant& left, const CConstant& right)
{
    if (IsIntegerOnly(op) && (IsFloating(left) || IsFloating(right)))
        return "has a floating operand of an integer operator";
    return {};
}

std::string OperandTypeError(CUnaryOperator op, const CConstant& operand)
{
    if (op == CUnaryOperator::Complement && IsFloating(operand))
        return "has a floating operand of an integer operator";
    return {};
}

CEvaluatedConstant Apply(CBinaryOperator op, const CConstant& left, const CConstant& right)
{
    if (std::string error = OperandTypeError(op, left, right); !error.empty())
        return {{}, std::move(error)};
    if (IsShift(op)) {
        const CEvaluated shifted = IntegerBinary(op, Promote(left.integer), Promote(right.integer));
        return {IntegerConstant(shifted.value), shifted.refusal ? shifted.refusal : ""};
    }
    const CScalarType common = CommonType(left, right);
    const CConstant a = ConvertConstant(left, common).value, b = ConvertConstant(right, common).value;
    if (a.kind == CConstant::Kind::Float)
        return FloatingBinary(op, static_cast<float>(a.floating), static_cast<float>(b.floating), a.kind);
    if (a.kind == CConstant::Kind::Double)
        return FloatingBinary(op, a.floating, b.floating, a.kind);
    const CEvaluated result = IntegerBinary(op, a.integer, b.integer);
    return {IntegerConstant(result.value), result.refusal ? result.refusal : ""};
}

CEvaluatedConstant Apply(CUnaryOperator op, const CConstant& operand)
{
    if (std::string error = OperandTypeError(op, operand); !error.empty())
        return {{}, std::move(error)};
    const CConstant value = Promoted(operand);
    switch (op) {
    case CUnaryOperator::Plus: return {value, {}};
    case CUnaryOperator::Not: return {Truth(!IsNonZero(value)), {}};
    case CUnaryOperator::Complement:
        return {IntegerConstant(MakeInteger(~value.integer.bits, value.integer.width, value.integer.isSigned)), {}};
    case CUnaryOperator::Minus: break;
    }
    if (IsFloating(value)) {
        CConstant negated = value;
        negated.floating = -value.floating;
        return {negated, {}};
    }
    const CEvaluated negated = Negate(value.integer);
    return {IntegerConstant(negated.value), negated.refusal ? negated.refusal : ""};
}

CConstant ZeroResult(CBinaryOperator op, const CConstant& left, const CConstant& right)
{
    if (IsComparison(op))
        return Truth(false);
    if (IsShift(op))
        return ZeroLike(Promoted(left));
    return ZeroOf(CommonType(left, right));
}

CConstant ZeroResult(CUnaryOperator op, const CConstant& operand)
{
    return op == CUnaryOperator::Not ? Truth(false) : ZeroLike(Promoted(operand));
}
