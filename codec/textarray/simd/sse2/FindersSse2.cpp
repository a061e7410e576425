// The block finders with SSE2, which every x86-64 processor has.
#include "simd/Kernels.h"

#if defined(__x86_64__) || defined(_M_X64)

#include "textarray/SpeedLayers.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <emmintrin.h>

#include "simd/TextBlocks.h"
#include "simd/VectorClassifier.h"

namespace {

struct CSse2Ops
{
    using Vector = __m128i;
    static constexpr std::size_t kWidth = 16;

    static Vector Load(const unsigned char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void Store(unsigned char* p, Vector v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static Vector Set(char byte) { return _mm_set1_epi8(byte); }
    static Vector Add(Vector a, Vector b) { return _mm_add_epi8(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm_sub_epi8(a, b); }
    static Vector And(Vector a, Vector b) { return _mm_and_si128(a, b); }
    static Vector Or(Vector a, Vector b) { return _mm_or_si128(a, b); }
    static Vector Min(Vector a, Vector b) { return _mm_min_epu8(a, b); }
    static Vector Equal(Vector a, Vector b) { return _mm_cmpeq_epi8(a, b); }
    static Vector Greater(Vector a, Vector b) { return _mm_cmpgt_epi8(a, b); }
    static Vector ShiftWordsLeft4(Vector v) { return _mm_slli_epi16(v, 4); }
    static std::uint64_t Mask(Vector v) { return static_cast<std::uint32_t>(_mm_movemask_epi8(v)); }
};

using CSse2Blocks = CTextBlocks<CVectorClassifier<CSse2Ops>>;

} // namespace

std::size_t FindByteItemsSse2(
    const unsigned char*& position, const unsigned char* end, unsigned char* values, std::size_t capacity)
{
    return CSse2Blocks::FindByteItems(position, end, values, capacity);
}

std::size_t FindLowBytesSse2(
    const unsigned char*& position, const unsigned char* end, unsigned char* values, std::size_t capacity)
{
    return CSse2Blocks::FindLowBytes(position, end, values, capacity);
}

std::size_t FindNumbersSse2(
    const unsigned char*& position, const unsigned char* end, CFoundNumbers numbers, std::size_t capacity)
{
    return CSse2Blocks::FindNumbers(position, end, numbers, capacity);
}

#endif
