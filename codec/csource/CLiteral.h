#pragma once

#include "CExpression.h"

// A number token's value: an integer literal in the type C gives it (an #if
// gives every integer intmax_t or uintmax_t), or, in a program, a floating
// literal correctly rounded to float or double.
CEvaluatedConstant NumberConstant(std::string_view text, const CAbi& abi, CExpressionMode mode);

// A character literal's value: a plain one as the platform's char, several
// characters as gcc packs them into an int, L'x' as wchar_t, u'x' and U'x'
// as char16_t and char32_t, u8'x' under 0x80.
CEvaluatedConstant CharacterConstant(const CExprToken& token, const CAbi& abi, CExpressionMode mode);
