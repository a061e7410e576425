// The block finders with AVX2, used where the processor has it. Only the
// functions of this file are compiled for AVX2 (between the target headers),
// so the rest of the program runs on any x86-64 processor.
#include "simd/Kernels.h"

#if defined(__x86_64__) || defined(_M_X64)

#include "textarray/SpeedLayers.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <immintrin.h>

#include "simd/avx2/TargetBegin.h"

#include "simd/LongHexSsse3.h"
#include "simd/TextBlocks.h"

namespace {

// For every eight bits of item starts (at most two items), the shuffles that
// bring their pair values to the front: from the low or the high eight
// bytes of sixteen. And the count of items.
struct CGatherTables
{
    alignas(16) unsigned char shuffles[2][256][16];
    unsigned char counts[256];
};

constexpr CGatherTables kGather = [] {
    CGatherTables tables{};
    for (int half = 0; half < 2; ++half) {
        for (int starts = 0; starts < 256; ++starts) {
            int count = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (starts >> bit & 1)
                    tables.shuffles[half][starts][count++] = static_cast<unsigned char>(8 * half + bit);
            tables.counts[starts] = static_cast<unsigned char>(count);
        }
    }
    return tables;
}();

struct CAvx2Classifier
{
    static constexpr std::size_t kWidth = 32;

    static std::uint64_t LongHexValue(const unsigned char* text, int n) { return LongHexValueSsse3(text, n); }

    static __m256i Load(const unsigned char* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

    static __m256i Below(__m256i bytes, char first, char count)
    {
        const __m256i offset = _mm256_sub_epi8(bytes, _mm256_set1_epi8(first));
        return _mm256_cmpeq_epi8(_mm256_min_epu8(offset, _mm256_set1_epi8(static_cast<char>(count - 1))), offset);
    }

    // A hex digit's value; only the low four bits count, and only for digits.
    static __m256i Nibble(__m256i bytes)
    {
        const __m256i letter = _mm256_and_si256(_mm256_cmpgt_epi8(bytes, _mm256_set1_epi8('9')), _mm256_set1_epi8(9));
        return _mm256_add_epi8(_mm256_and_si256(bytes, _mm256_set1_epi8(0x0F)), letter);
    }

    static std::uint64_t Mask(__m256i bytes) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(bytes)); }

    static CBlockMasks Classify(const unsigned char* block, unsigned char* pairs)
    {
        const __m256i bytes = Load(block);
        const __m256i lower = _mm256_or_si256(bytes, _mm256_set1_epi8(0x20));
        const __m256i digits = Below(bytes, '0', 10);
        const __m256i hex = _mm256_or_si256(digits, Below(lower, 'a', 6));
        const __m256i nextLower = _mm256_or_si256(Load(block + 1), _mm256_set1_epi8(0x20));
        const __m256i prefixes = _mm256_and_si256(
            _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('0')), _mm256_cmpeq_epi8(nextLower, _mm256_set1_epi8('x')));

        // Shifted in 16-bit lanes: the mask drops what crosses into the next byte.
        const __m256i high = _mm256_and_si256(
            _mm256_slli_epi16(Nibble(Load(block + 2)), 4), _mm256_set1_epi8(static_cast<char>(0xF0)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pairs), _mm256_or_si256(high, Nibble(Load(block + 3))));
        return {Mask(digits), Mask(hex), Mask(prefixes), Mask(_mm256_cmpeq_epi8(lower, _mm256_set1_epi8('x'))),
            Mask(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(kEndOfText)))};
    }

    // Eight bytes of starts at a time, each into one shuffle: fewer steps
    // than one per item.
    static std::size_t Gather(std::uint64_t starts, const unsigned char* pairs, unsigned char* values)
    {
        unsigned char* out = values;
        for (int sixteen = 0; sixteen < 4; ++sixteen) {
            const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pairs + 16 * sixteen));
            for (int half = 0; half < 2; ++half) {
                const unsigned eight = static_cast<unsigned>(starts >> (16 * sixteen + 8 * half)) & 0xFF;
                const __m128i shuffle = _mm_load_si128(reinterpret_cast<const __m128i*>(kGather.shuffles[half][eight]));
                _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(source, shuffle));
                out += kGather.counts[eight];
            }
        }
        return static_cast<std::size_t>(out - values);
    }
};

} // namespace

std::size_t FindByteItemsAvx2(
    const unsigned char*& position, const unsigned char* end, unsigned char* values, std::size_t capacity)
{
    return CTextBlocks<CAvx2Classifier>::FindByteItems(position, end, values, capacity);
}

std::size_t FindLowBytesAvx2(
    const unsigned char*& position, const unsigned char* end, unsigned char* values, std::size_t capacity)
{
    return CTextBlocks<CAvx2Classifier>::FindLowBytes(position, end, values, capacity);
}

std::size_t FindNumbersAvx2(
    const unsigned char*& position, const unsigned char* end, CFoundNumbers numbers, std::size_t capacity)
{
    return CTextBlocks<CAvx2Classifier>::FindNumbers(position, end, numbers, capacity);
}

#include "simd/avx2/TargetEnd.h"

#endif
