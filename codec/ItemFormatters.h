#pragma once

#include <cstddef>

// The writers' vector steps. Only AVX-512's byte permutes beat writing items a
// word at a time (AVX2's shuffles were measured 20 % slower for h and 7 %
// faster for i), so the writers take these steps where the processor has AVX-512 and the
// speed layer is on, and write words otherwise.

// Writes "0xHH," for each of 16 bytes, each XOR flip (0xFF writes their
// complements): 80 bytes at out, and up to kFormattedLinesRoom written over.
using ByteItemFormatter = void (*)(unsigned char* out, const unsigned char* bytes, unsigned char flip);
inline constexpr std::size_t kFormattedItems = 16;

// Writes the first whole lines of lineUnit items among the count bytes that
// one step takes: "0xHH," for each byte XOR flip, CR LF after each line, at
// most kFormattedLinesRoom bytes at out. Returns the bytes taken, a multiple
// of lineUnit: none where the bytes are too few or the lines too long for a
// step.
using ByteLinesFormatter = std::size_t (*)(
    unsigned char* out, const unsigned char* bytes, std::size_t count, unsigned char flip, int lineUnit);
inline constexpr std::size_t kFormattedLinesRoom = 192;

// Writes "0x" and the digits of unit bytes (2 to 9) as one little-endian
// number, then a comma, for as many of the groups (of unit bytes each) as one
// step holds; at most kFormattedLinesRoom bytes at out. Returns the groups
// taken: none where the unit is too wide.
using WideItemFormatter = std::size_t (*)(unsigned char* out, const unsigned char* bytes, std::size_t groups, int unit);

struct CItemFormatters
{
    ByteItemFormatter items = nullptr;
    ByteLinesFormatter lines = nullptr;
    WideItemFormatter wide = nullptr;
};

// The steps for a writer made now; none where items are written word by word.
CItemFormatters CurrentItemFormatters();
