#pragma once

#include "CConstant.h"

// C's binary operators but && || and ?:, which decide what they evaluate.
enum class CBinaryOperator {
    Multiply,
    Divide,
    Remainder,
    Add,
    Subtract,
    ShiftLeft,
    ShiftRight,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    Equal,
    NotEqual,
    BitAnd,
    BitXor,
    BitOr,
};

enum class CUnaryOperator { Plus, Minus, Complement, Not };

// The type both operands of an arithmetic operator, or the two arms of a
// ?:, are converted to: the integer promotions, then the usual arithmetic
// conversions.
CScalarType CommonType(const CConstant& left, const CConstant& right);

// Why the operator cannot take such operands (a floating one of %, <<, &...),
// or empty.
std::string OperandTypeError(CBinaryOperator op, const CConstant& left, const CConstant& right);
std::string OperandTypeError(CUnaryOperator op, const CConstant& operand);

// The operator's result, computed as C computes it in the operands' types;
// refused where C leaves it undefined (signed overflow, division by zero,
// a shift past the width or of a negative value left) or where a floating
// result is no finite number.
CEvaluatedConstant Apply(CBinaryOperator op, const CConstant& left, const CConstant& right);
CEvaluatedConstant Apply(CUnaryOperator op, const CConstant& operand);

// A zero of the type the operator's result has, for the side of && || ?:
// that C does not evaluate, where only the type counts.
CConstant ZeroResult(CBinaryOperator op, const CConstant& left, const CConstant& right);
CConstant ZeroResult(CUnaryOperator op, const CConstant& operand);
