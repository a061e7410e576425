#pragma once

#include <array>
#include <cstdint>

// Lookup tables for the inner loops: no per-byte printf or isxdigit.
namespace hex_tables {

inline constexpr char kUpperDigits[] = "0123456789ABCDEF";

// Two upper-case hex digits for every byte value.
inline constexpr std::array<std::array<char, 2>, 256> kPairs = [] {
    std::array<std::array<char, 2>, 256> pairs{};
    for (int i = 0; i < 256; ++i)
        pairs[i] = {kUpperDigits[i >> 4], kUpperDigits[i & 0xF]};
    return pairs;
}();

inline constexpr std::int8_t kNotADigit = -1;

// Value of a hex digit of either case, or kNotADigit.
inline constexpr std::array<std::int8_t, 256> kHexValue = [] {
    std::array<std::int8_t, 256> values{};
    values.fill(kNotADigit);
    for (int i = 0; i < 10; ++i)
        values['0' + i] = static_cast<std::int8_t>(i);
    for (int i = 0; i < 6; ++i) {
        values['A' + i] = static_cast<std::int8_t>(10 + i);
        values['a' + i] = static_cast<std::int8_t>(10 + i);
    }
    return values;
}();

// A byte's hex digit value as an int, or kNotADigit: the one place where
// the table's signed entries widen, on purpose, so that -1 stays -1.
inline int HexValueOf(unsigned char byte)
{
    return kHexValue[byte]; // NOLINT(bugprone-signed-char-misuse)
}

inline bool IsDecimalDigit(unsigned char byte)
{
    return static_cast<unsigned char>(byte - '0') < 10;
}

} // namespace hex_tables
