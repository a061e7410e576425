#pragma once

#include <cstdint>
#include <string_view>

// C's integer values, their literals and conversions. The platform's
// widths come in as arguments (TypedIntegerLiteral's long, ConvertTo's
// type): nothing here assumes one platform.

struct CIntegerType
{
    int width = 4;          // bytes
    bool isSigned = true;
};

struct CIntegerValue
{
    std::uint64_t bits = 0;   // truncated to the width; sign-extended when signed
    int width = 4;
    bool isSigned = true;

    std::int64_t Signed() const { return static_cast<std::int64_t>(bits); }
    unsigned char Byte(int k) const;   // k from 0, least significant first; past 8 the sign
};

// An evaluation's value, or why it has none ("is a floating value").
struct CEvaluated
{
    CIntegerValue value;
    const char* refusal = nullptr;
};

// value's bits as an integer of the given width and signedness: truncated,
// then sign-extended when signed.
CIntegerValue MakeInteger(std::uint64_t bits, int width, bool isSigned);

// An integer literal's parts before C gives it a type.
struct CIntegerLiteral
{
    std::uint64_t magnitude = 0;
    bool decimal = true;
    bool isUnsigned = false;   // a u suffix
    int longs = 0;             // 1 for an l suffix, 2 for ll
    const char* refusal = nullptr;
};

// An integer literal as written: decimal, hex, octal, binary, suffixes u, l,
// ll and digit separators.
CIntegerLiteral ReadIntegerLiteral(std::string_view text);

// The literal's value in the first type of C's list for its form that holds
// it, long being longWidth bytes.
CEvaluated TypedIntegerLiteral(const CIntegerLiteral& literal, int longWidth);

CIntegerValue ConvertTo(CIntegerValue value, const CIntegerType& type);
CIntegerValue Promote(CIntegerValue value);
CEvaluated Negate(CIntegerValue value);
