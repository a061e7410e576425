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

// Writes the first whole lines of lineUnit items among the groups (of unit
// bytes each, 1 to 9) that one step takes: "0x", the digits of a group's
// bytes XOR flip as one little-endian number, and a comma for each item, CR
// LF after each line; at most kFormattedLinesRoom bytes at out. Returns the
// groups taken, a multiple of lineUnit, and the bytes of text: none where the
// groups are too few or the lines too long for a step.
struct CFormattedLines
{
    std::size_t groups;
    std::size_t size;
};
using LinesFormatter = CFormattedLines (*)(
    unsigned char* out, const unsigned char* bytes, std::size_t groups, unsigned char flip, int lineUnit, int unit);
inline constexpr std::size_t kFormattedLinesRoom = 192;

// Writes "0x" and the digits of unit bytes (2 to 9) as one little-endian
// number, then a comma, for as many of the groups (of unit bytes each) as one
// step holds; at most kFormattedLinesRoom bytes at out. Returns the groups
// taken: none where the unit is too wide.
using WideItemFormatter = std::size_t (*)(unsigned char* out, const unsigned char* bytes, std::size_t groups, int unit);

struct CItemFormatters
{
    ByteItemFormatter items = nullptr;
    LinesFormatter lines = nullptr;
    WideItemFormatter wide = nullptr;
};

// The steps for a writer made now; none where items are written word by word.
CItemFormatters CurrentItemFormatters();
