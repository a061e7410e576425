// The block finder with SSE2, which every x86-64 processor has.
#include "simd/Kernels.h"

#if defined(__x86_64__) || defined(_M_X64)

#include "simd/TextBlocks.h"

#include <emmintrin.h>

namespace {

struct CSse2Classifier
{
    static constexpr std::size_t kWidth = 16;

    static __m128i Load(const unsigned char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

    static __m128i Below(__m128i bytes, char first, char count)
    {
        const __m128i offset = _mm_sub_epi8(bytes, _mm_set1_epi8(first));
        return _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(static_cast<char>(count - 1))), offset);
    }

    // A hex digit's value; only the low four bits count, and only for digits.
    static __m128i Nibble(__m128i bytes)
    {
        const __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8('9')), _mm_set1_epi8(9));
        return _mm_add_epi8(_mm_and_si128(bytes, _mm_set1_epi8(0x0F)), letter);
    }

    static std::uint64_t Mask(__m128i bytes) { return static_cast<std::uint32_t>(_mm_movemask_epi8(bytes)); }

    static CBlockMasks Classify(const unsigned char* block, unsigned char* pairs)
    {
        const __m128i bytes = Load(block);
        const __m128i lower = _mm_or_si128(bytes, _mm_set1_epi8(0x20));
        const __m128i digits = Below(bytes, '0', 10);
        const __m128i hex = _mm_or_si128(digits, Below(lower, 'a', 6));
        const __m128i nextLower = _mm_or_si128(Load(block + 1), _mm_set1_epi8(0x20));
        const __m128i prefixes
            = _mm_and_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('0')), _mm_cmpeq_epi8(nextLower, _mm_set1_epi8('x')));

        // Shifted in 16-bit lanes: the mask drops what crosses into the next byte.
        const __m128i high
            = _mm_and_si128(_mm_slli_epi16(Nibble(Load(block + 2)), 4), _mm_set1_epi8(static_cast<char>(0xF0)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pairs), _mm_or_si128(high, Nibble(Load(block + 3))));
        return {Mask(digits), Mask(hex), Mask(prefixes), Mask(_mm_cmpeq_epi8(lower, _mm_set1_epi8('x'))),
            Mask(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(kEndOfText)))};
    }
};

} // namespace

std::size_t FindByteItemsSse2(
    const unsigned char*& position, const unsigned char* end, unsigned char* values, std::size_t capacity)
{
    return CTextBlocks<CSse2Classifier>::FindByteItems(position, end, values, capacity);
}

std::size_t FindLowBytesSse2(
    const unsigned char*& position, const unsigned char* end, unsigned char* values, std::size_t capacity)
{
    return CTextBlocks<CSse2Classifier>::FindLowBytes(position, end, values, capacity);
}

std::size_t FindNumbersSse2(
    const unsigned char*& position, const unsigned char* end, CFoundNumbers numbers, std::size_t capacity)
{
    return CTextBlocks<CSse2Classifier>::FindNumbers(position, end, numbers, capacity);
}

#endif
