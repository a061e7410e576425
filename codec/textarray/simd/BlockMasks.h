#pragma once

#include <cstdint>

namespace {

// What a classifier makes of a block of text. Bit j stands for byte j.
struct CBlockMasks
{
    std::uint64_t digits;     // 0 to 9
    std::uint64_t hex;        // hex digits of either case
    std::uint64_t prefixes;   // "0x" or "0X" starts here
    std::uint64_t xs;         // 'x' or 'X'
    std::uint64_t ends;       // the text's end mark, 0x1A
};

} // namespace
