// The block finders with AVX2, used where the processor has it.
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
#include "simd/VectorClassifier.h"

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

struct CAvx2Ops
{
    using Vector = __m256i;
    static constexpr std::size_t kWidth = 32;

    static Vector Load(const unsigned char* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void Store(unsigned char* p, Vector v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static Vector Set(char byte) { return _mm256_set1_epi8(byte); }
    static Vector Add(Vector a, Vector b) { return _mm256_add_epi8(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm256_sub_epi8(a, b); }
    static Vector And(Vector a, Vector b) { return _mm256_and_si256(a, b); }
    static Vector Or(Vector a, Vector b) { return _mm256_or_si256(a, b); }
    static Vector Min(Vector a, Vector b) { return _mm256_min_epu8(a, b); }
    static Vector Equal(Vector a, Vector b) { return _mm256_cmpeq_epi8(a, b); }
    static Vector Greater(Vector a, Vector b) { return _mm256_cmpgt_epi8(a, b); }
    static Vector ShiftWordsLeft4(Vector v) { return _mm256_slli_epi16(v, 4); }
    static std::uint64_t Mask(Vector v) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(v)); }
};

// The shared classifier, with SSSE3's long hex values and byte shuffles
// that gather the items.
struct CAvx2Classifier : CVectorClassifier<CAvx2Ops>
{
    static std::uint64_t LongHexValue(const unsigned char* text, int n) { return LongHexValueSsse3(text, n); }

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
