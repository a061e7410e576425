#pragma once

#include "CConstant.h"
#include "CSourceLexer.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// A token kept for evaluation, owning its text.
struct CExprToken
{
    CTokenKind kind = CTokenKind::Punctuator;
    std::string text;      // as CToken::text; a string's prefix
    std::string decoded;   // a character literal's or string's bytes
    bool undecodable = false;
    bool uncertain = false;   // as CToken::uncertain
    long line = 0;
};

// A type named in a cast or a sizeof.
struct CNamedType
{
    std::optional<CScalarType> scalar;   // none for a struct or array: no cast to it
    std::uint64_t size = 0;
};

// What an expression's names mean; the reader knows the file's enums and
// typedefs, the preprocessor knows none.
class CExpressionNames
{
public:
    virtual ~CExpressionNames() = default;
    // An identifier standing as a value: an enum constant's, or a refusal
    // ("is a macro or enum name the file does not define").
    virtual CEvaluatedConstant Identifier(std::string_view name) = 0;
    // The type that the tokens between a cast's or a sizeof's parentheses
    // name, or none when they name no type (then "(" opens an expression).
    virtual std::optional<CNamedType> TypeName(std::span<const CExprToken> tokens) = 0;
};

enum class CExpressionMode {
    // An #if: integers only, as intmax_t and uintmax_t; no casts or sizeof.
    Preprocessor,
    // A constant expression of the program: C's types and conversions,
    // floating values, casts and sizeof.
    Program,
};

// The value of a whole constant expression, as the compiler evaluates it
// for the given platform, or the refusal of the first part that C leaves
// undefined (overflow, division by zero, a shift past the width) or that
// the reader does not evaluate.
CEvaluatedConstant EvaluateConstant(
    std::span<const CExprToken> tokens, const CAbi& abi, CExpressionNames& names, CExpressionMode mode);
