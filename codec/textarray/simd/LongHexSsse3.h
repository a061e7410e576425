#pragma once

// The value of 9 to 16 hex digits with SSSE3's byte shuffle and multiply-add,
// for the classifiers of the instruction sets that have them: each includes
// this inside its target region, and compiles its own copy, as it does
// TextBlocks.h.

#include <array>
#include <cstddef>
#include <cstdint>
#include <immintrin.h>

namespace {

// From kLeadingZeros.data() + n: 16 - n zeros (index 0x80), then bytes 0 to n - 1.
constexpr std::array<unsigned char, 32> kLeadingZeros = [] {
    std::array<unsigned char, 32> indexes{};
    for (std::size_t j = 0; j < 32; ++j)
        indexes[j] = j < 16 ? 0x80 : static_cast<unsigned char>(j - 16);
    return indexes;
}();

// The value of n (9 to 16) hex digits of either case at text; 16 bytes are
// read. Shifted so that zeros lead, then each pair of digits made a byte in
// one multiply-add.
inline std::uint64_t LongHexValueSsse3(const unsigned char* text, int n)
{
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
    const __m128i aligned
        = _mm_shuffle_epi8(bytes, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kLeadingZeros.data() + n)));
    // Letters have bit 6 set: their low four bits and 9 make their value.
    const __m128i letters = _mm_and_si128(_mm_srli_epi16(aligned, 6), _mm_set1_epi8(1));
    const __m128i nibbles
        = _mm_add_epi8(_mm_and_si128(aligned, _mm_set1_epi8(0x0F)), _mm_mullo_epi16(letters, _mm_set1_epi16(9)));
    const __m128i pairs = _mm_maddubs_epi16(nibbles, _mm_set1_epi16(0x0110));
    return __builtin_bswap64(static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_packus_epi16(pairs, pairs))));
}

} // namespace
