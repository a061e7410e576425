#pragma once

#include "CArithmetic.h"
#include "CIntegerValue.h"

// op on two integers already converted to one common type (both promoted
// for a shift, which keeps the left one's type), as CEvaluated: its
// refusal where C leaves the result undefined.
CEvaluated IntegerBinary(CBinaryOperator op, const CIntegerValue& left, const CIntegerValue& right);
