// The block finder and the item formatter with AVX-512 (byte and word
// instructions, VBMI's byte permute and VBMI2's byte compress), used where
// the processor has it: a whole 64-byte block per vector, its masks straight
// from the comparisons, its items' values gathered by one compress, and
// sixteen items' text placed by two permutes. Only the functions of this file
// are compiled for it (the target pragmas below).
#include "ByteItemKernels.h"

#if defined(__x86_64__) || defined(_M_X64)

#include <cstddef>
#include <cstdint>
#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi"))), apply_to = function)
#elif defined(__GNUC__)
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi")
#endif

#include "ByteItemBlocks.h"

namespace {

// Where each of the 80 bytes of sixteen "0xHH," items comes from: a fixed
// byte, or the item's high digit (its index) or low digit (64 and its index)
// that the permute picks from the two vectors of digits.
struct CItemLayout
{
    alignas(64) unsigned char fixed[128];
    alignas(64) unsigned char digit[128];
    std::uint64_t digitMask[2];
};

constexpr CItemLayout kItemLayout = [] {
    CItemLayout layout{};
    for (int at = 0; at < 80; ++at) {
        const int item = at / 5;
        const int place = at % 5;
        layout.fixed[at] = place == 0 ? '0' : place == 1 ? 'x' : place == 4 ? ',' : 0;
        if (place == 2 || place == 3) {
            layout.digit[at] = static_cast<unsigned char>(place == 2 ? item : 64 + item);
            layout.digitMask[at / 64] |= std::uint64_t{1} << (at % 64);
        }
    }
    return layout;
}();

__m512i Bytes(char byte)
{
    return _mm512_set1_epi8(byte);
}

// The upper-case hex digit of every nibble.
__m512i HexDigit(__m512i nibbles)
{
    const __m512i decimal = _mm512_add_epi8(nibbles, Bytes('0'));
    return _mm512_mask_add_epi8(decimal, _mm512_cmpgt_epu8_mask(nibbles, Bytes(9)), decimal, Bytes('A' - '0' - 10));
}

struct CAvx512Classifier
{
    static constexpr std::size_t kWidth = 64;

    static __m512i Load(const unsigned char* p) { return _mm512_loadu_si512(p); }

    static __mmask64 Below(__m512i bytes, char first, char count)
    {
        return _mm512_cmplt_epu8_mask(_mm512_sub_epi8(bytes, Bytes(first)), Bytes(count));
    }

    // A hex digit's value; only the low four bits count, and only for digits.
    static __m512i Nibble(__m512i bytes)
    {
        const __m512i low = _mm512_and_si512(bytes, Bytes(0x0F));
        return _mm512_mask_add_epi8(low, _mm512_cmpgt_epu8_mask(bytes, Bytes('9')), low, Bytes(9));
    }

    static CBlockMasks Classify(const unsigned char* block, unsigned char* pairs)
    {
        const __m512i bytes = Load(block);
        const __mmask64 digits = Below(bytes, '0', 10);
        const __mmask64 hex = digits | Below(_mm512_or_si512(bytes, Bytes(0x20)), 'a', 6);
        const __mmask64 prefixes = _mm512_cmpeq_epi8_mask(bytes, Bytes('0'))
            & _mm512_cmpeq_epi8_mask(_mm512_or_si512(Load(block + 1), Bytes(0x20)), Bytes('x'));

        // Shifted in 16-bit lanes: the mask drops what crosses into the next
        // byte. (high & 0xF0) | low in one step.
        const __m512i high = _mm512_slli_epi16(Nibble(Load(block + 2)), 4);
        const __m512i pair = _mm512_ternarylogic_epi32(high, Bytes(static_cast<char>(0xF0)), Nibble(Load(block + 3)), 0xEA);
        _mm512_storeu_si512(pairs, pair);
        return {digits, hex, prefixes, _mm512_cmpeq_epi8_mask(bytes, Bytes(kEndOfText))};
    }

    // The pairs at the starts, packed to the front by one compress; a
    // block's items fit into the sixteen bytes stored.
    static std::size_t Gather(std::uint64_t starts, const unsigned char* pairs, unsigned char* values)
    {
        const __m512i packed = _mm512_maskz_compress_epi8(starts, Load(pairs));
        _mm512_mask_storeu_epi8(values, 0xFFFF, packed);
        return static_cast<std::size_t>(__builtin_popcountll(starts));
    }
};

} // namespace

std::size_t FindByteItemsAvx512(const unsigned char*& position, const unsigned char* end, unsigned char* values,
    std::size_t capacity)
{
    return CByteItemBlocks<CAvx512Classifier>::Find(position, end, values, capacity);
}

void FormatByteItemsAvx512(unsigned char* out, const unsigned char* bytes, unsigned char flip)
{
    const __m512i values = _mm512_xor_si512(_mm512_maskz_loadu_epi8(0xFFFF, bytes), Bytes(static_cast<char>(flip)));
    const __m512i high = HexDigit(_mm512_and_si512(_mm512_srli_epi16(values, 4), Bytes(0x0F)));
    const __m512i low = HexDigit(_mm512_and_si512(values, Bytes(0x0F)));
    for (int half = 0; half < 2; ++half) {
        const __m512i digits = _mm512_permutex2var_epi8(high, _mm512_load_si512(kItemLayout.digit + 64 * half), low);
        const __m512i text = _mm512_mask_blend_epi8(kItemLayout.digitMask[half], _mm512_load_si512(kItemLayout.fixed + 64 * half), digits);
        // The second half holds the last sixteen bytes only.
        _mm512_mask_storeu_epi8(out + 64 * half, half == 0 ? ~__mmask64{0} : __mmask64{0xFFFF}, text);
    }
}

#if defined(__clang__)
#pragma clang attribute pop
#elif defined(__GNUC__)
#pragma GCC pop_options
#endif

bool ProcessorHasAvx512()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi")
        && __builtin_cpu_supports("avx512vbmi2") && __builtin_cpu_supports("bmi");
}

#endif
