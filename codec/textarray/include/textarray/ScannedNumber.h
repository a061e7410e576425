#pragma once

#include <cstddef>
#include <cstdint>

// A number found in a text array.
struct CScannedNumber
{
    enum class Kind { Hex, Decimal };

    Kind kind;
    // Hex numbers keep their value modulo 2^72 (the last 18 digits), enough
    // for the widest byte unit; decimal numbers wrap modulo 2^32.
    std::uint64_t low;   // bits 0 to 63
    std::uint8_t high;   // bits 64 to 71, always 0 for a decimal number
    // A hex number's digits, leading zeros included, up to UINT32_MAX: its
    // width is in them. 0 for a decimal number.
    std::uint32_t hexDigits;

    // Byte k (0 to 8) of the value, least significant first.
    unsigned char Byte(int k) const { return k < 8 ? static_cast<unsigned char>(low >> (8 * k)) : high; }
};

// Numbers that blocks of text yield, column by column so that a vector
// fills many at once. A decimal number has no hex digits: blocks take no
// hex number without digits, and none of more than 16.
struct CFoundNumbers
{
    std::uint64_t* values;
    std::uint32_t* hexDigits;

    CScannedNumber At(std::size_t i) const
    {
        return {
            hexDigits[i] != 0 ? CScannedNumber::Kind::Hex : CScannedNumber::Kind::Decimal, values[i], 0, hexDigits[i]};
    }
};
