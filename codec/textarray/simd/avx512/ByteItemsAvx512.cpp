// The block finder and the item formatter with AVX-512 (byte and word
// instructions, VBMI's byte permute and VBMI2's byte compress), used where
// the processor has it: a whole 64-byte block per vector, its masks straight
// from the comparisons, its items' values gathered by one compress, and up
// to kFormattedLinesRoom bytes of items' text placed by a permute per 64 bytes. Only the functions of this file
// are compiled for it (the target pragmas below).
#include "simd/ByteItemKernels.h"
#include "textarray/ByteUnit.h"

#if defined(__x86_64__) || defined(_M_X64)

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(                                                                                          \
    __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,avx512cd,bmi"))), apply_to = function)
#elif defined(__GNUC__)
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,avx512cd,bmi")
#endif

#include "simd/LongHexSsse3.h"
#include "simd/TextBlocks.h"

namespace {

// Where each byte of up to 128 bytes of text comes from: a fixed byte, or
// the high digit (the value's index) or low digit (64 and the index) of one
// of up to 64 values, which the permute picks from the two vectors of digits.
struct CTextLayout
{
    alignas(64) unsigned char fixed[kFormattedLinesRoom];
    alignas(64) unsigned char digit[kFormattedLinesRoom];
    std::uint64_t digitMask[kFormattedLinesRoom / 64];
    std::size_t groups;   // items, each of a unit's values
    std::size_t size;     // bytes of text
};

// lines of itemsPerLine items, each "0x", the digits of unit bytes as one
// little-endian number and a comma; CR LF after each line if breaks.
constexpr CTextLayout MakeLayout(std::size_t unit, std::size_t itemsPerLine, std::size_t lines, bool breaks)
{
    CTextLayout layout{};
    std::size_t at = 0;
    for (std::size_t item = 0; item < lines * itemsPerLine; ++item) {
        layout.fixed[at++] = '0';
        layout.fixed[at++] = 'x';
        for (std::size_t k = unit; k-- > 0;) {
            const auto value = static_cast<unsigned char>(item * unit + k);
            for (const unsigned char index : {value, static_cast<unsigned char>(64 + value)}) {
                layout.digit[at] = index;
                layout.digitMask[at / 64] |= std::uint64_t{1} << (at % 64);
                ++at;
            }
        }
        layout.fixed[at++] = ',';
        if (breaks && (item + 1) % itemsPerLine == 0) {
            layout.fixed[at++] = '\r';
            layout.fixed[at++] = '\n';
        }
    }
    layout.groups = lines * itemsPerLine;
    layout.size = at;
    return layout;
}

// The values a step formats: one vector of them.
constexpr std::size_t kMostValues = 64;

constexpr std::size_t ItemSize(std::size_t unit)
{
    return 2 * unit + 3;
}

// A line of items of unit bytes, CR LF included.
constexpr std::size_t LineSize(std::size_t unit, std::size_t items)
{
    return items * ItemSize(unit) + 2;
}

// As many items of unit bytes as room bytes of text and a step's values hold.
constexpr std::size_t ItemsIn(std::size_t room, std::size_t unit)
{
    return std::min(kMostValues / unit, room / ItemSize(unit));
}

constexpr CTextLayout kSixteenItems = MakeLayout(1, 16, 1, false);

constexpr std::size_t kWidestUnit = CByteUnit::kMax;

constexpr std::array<CTextLayout, kWidestUnit + 1> kWideItems = [] {
    std::array<CTextLayout, kWidestUnit + 1> layouts{};
    for (std::size_t unit = 2; unit <= kWidestUnit; ++unit)
        layouts[unit] = MakeLayout(unit, ItemsIn(kFormattedLinesRoom, unit), 1, false);
    return layouts;
}();

// The longest line of items of unit bytes that a step holds whole, CR LF included.
constexpr std::size_t LongestLine(std::size_t unit)
{
    return ItemsIn(kFormattedLinesRoom - 2, unit);
}

// Where the layouts of lines of each unit's items start in kLines, one a
// line unit up to the longest: those of unit at kFirstLines[unit] and on,
// up to kFirstLines[unit + 1].
constexpr std::array<std::size_t, kWidestUnit + 2> kFirstLines = [] {
    std::array<std::size_t, kWidestUnit + 2> first{};
    for (std::size_t unit = 1; unit <= kWidestUnit; ++unit)
        first[unit + 1] = first[unit] + LongestLine(unit);
    return first;
}();

// For each unit and line unit, as many whole lines as a step's text and values hold.
constexpr auto kLines = [] {
    std::array<CTextLayout, kFirstLines[kWidestUnit + 1]> lines{};
    for (std::size_t unit = 1; unit <= kWidestUnit; ++unit) {
        for (std::size_t items = 1; items <= LongestLine(unit); ++items) {
            const std::size_t count
                = std::min(kFormattedLinesRoom / LineSize(unit, items), kMostValues / (items * unit));
            lines[kFirstLines[unit] + items - 1] = MakeLayout(unit, items, count, true);
        }
    }
    return lines;
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

// For lanes of laneBytes bytes: the index of each byte's lane, repeated
// over the lane, or each byte's place within its lane.
template <std::size_t laneBytes, bool place>
constexpr std::array<unsigned char, 64> kLaneBytes = [] {
    std::array<unsigned char, 64> bytes{};
    for (std::size_t j = 0; j < 64; ++j)
        bytes[j] = static_cast<unsigned char>(place ? j % laneBytes : j / laneBytes);
    return bytes;
}();
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
        const __m512i lower = _mm512_or_si512(bytes, Bytes(0x20));
        const __mmask64 hex = digits | Below(lower, 'a', 6);
        const __mmask64 prefixes = _mm512_cmpeq_epi8_mask(bytes, Bytes('0'))
            & _mm512_cmpeq_epi8_mask(_mm512_or_si512(Load(block + 1), Bytes(0x20)), Bytes('x'));

        // Shifted in 16-bit lanes: the mask drops what crosses into the next
        // byte. (high & 0xF0) | low in one step.
        const __m512i high = _mm512_slli_epi16(Nibble(Load(block + 2)), 4);
        const __m512i pair
            = _mm512_ternarylogic_epi32(high, Bytes(static_cast<char>(0xF0)), Nibble(Load(block + 3)), 0xEA);
        _mm512_storeu_si512(pairs, pair);
        return {digits, hex, prefixes, _mm512_cmpeq_epi8_mask(lower, Bytes('x')),
            _mm512_cmpeq_epi8_mask(bytes, Bytes(kEndOfText))};
    }

    // Decimal numbers of one to four digits at the starts, which the block
    // at p holds and whose digits end within three bytes of the next:
    // sixteen at a time, each number's bytes in a 32-bit lane, cut at its
    // first non-digit, shifted up by the digits it lacks and combined by two
    // multiply-adds.
    static std::size_t ShortDecimals(
        const unsigned char* p, std::uint64_t starts, std::uint64_t* values, std::uint32_t* hexDigits)
    {
        return ShortNumbers<4>(p, starts, 0, [&](__m512i text, std::size_t first) {
            const __m512i digits = _mm512_sub_epi8(text, Bytes('0'));
            const __m512i inNumber = BeforeFirst<4>(~_mm512_cmplt_epu8_mask(digits, Bytes(10)));
            const __m512i aligned = _mm512_maskz_sllv_epi32(
                kAll16, _mm512_and_si512(digits, inNumber), _mm512_maskz_lzcnt_epi32(kAll16, inNumber));
            const __m512i pairs = _mm512_maddubs_epi16(aligned, _mm512_set1_epi16(0x010A));
            StoreValues32(values + first, _mm512_madd_epi16(pairs, _mm512_set1_epi32(0x00010064)));
            _mm512_storeu_si512(hexDigits + first, _mm512_setzero_si512());
        });
    }

    // The low bytes of decimal numbers of up to four digits, which end at
    // the block at p's bytes in ends: a number's low byte is the sum, modulo
    // 256, of its digits times 1, 10, 100 and 1000 from its last, each
    // product a table's. So every byte of the block adds the products of
    // the digits up to three bytes before it that are of its number, and
    // one compress gathers the sums at the ends. digits: the block's digits;
    // before: those of the block before that belong to a number going on
    // into this one (a masked load reads no byte that is not a digit).
    static std::size_t DecimalLowBytes(
        const unsigned char* p, std::uint64_t digits, std::uint64_t before, std::uint64_t ends, unsigned char* values)
    {
        // Indexed by a digit's low four bits; a masked-off byte, zero, adds nothing.
        static constexpr auto kProducts = [] {
            std::array<std::array<unsigned char, 64>, 4> products{};
            for (std::size_t k = 0, power = 1; k < 4; ++k, power *= 10) {
                for (std::size_t j = 0; j < 64; ++j)
                    products[k][j] = static_cast<unsigned char>(j % 16 < 10 ? j % 16 * power % 256 : 0);
            }
            return products;
        }();
        __m512i sum = _mm512_setzero_si512();
        std::uint64_t same = digits;   // bit j: byte j - k is a digit of the number at j
        for (int k = 0; k < 4; ++k) {
            if (k > 0)
                same &= digits << k | before >> (64 - k);
            const __m512i text = _mm512_maskz_loadu_epi8(same, p - k);
            sum = _mm512_add_epi8(sum, _mm512_shuffle_epi8(Load(kProducts[k].data()), text));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(values),
            _mm512_maskz_extracti64x4_epi64(0xF, _mm512_maskz_compress_epi8(ends, sum), 0));
        return static_cast<std::size_t>(__builtin_popcountll(ends));
    }

    // Hex numbers of one to digits (4 or 8) digits after "0x" at the starts,
    // as ShortDecimals takes decimal ones: sixteen at a time in 32-bit lanes,
    // or eight in 64-bit ones.
    static std::size_t ShortHex(
        const unsigned char* p, std::uint64_t starts, int digits, std::uint64_t* values, std::uint32_t* hexDigits)
    {
        if (digits == 4) {
            return ShortNumbers<4>(p, starts, 2, [&](__m512i text, std::size_t first) {
                const __m512i inNumber = BeforeFirst<4>(~IsHex(text));
                const __m512i shift = _mm512_maskz_lzcnt_epi32(kAll16, inNumber);
                const __m512i aligned
                    = _mm512_maskz_sllv_epi32(kAll16, _mm512_and_si512(Nibble(text), inNumber), shift);
                const __m512i pairs = _mm512_maddubs_epi16(aligned, _mm512_set1_epi16(0x0110));
                StoreValues32(values + first, _mm512_madd_epi16(pairs, _mm512_set1_epi32(0x00010100)));
                _mm512_storeu_si512(hexDigits + first,
                    _mm512_maskz_srli_epi32(kAll16, _mm512_sub_epi32(_mm512_set1_epi32(32), shift), 3));
            });
        }
        return ShortNumbers<8>(p, starts, 2, [&](__m512i text, std::size_t first) {
            const __m512i inNumber = BeforeFirst<8>(~IsHex(text));
            const __m512i shift = _mm512_maskz_lzcnt_epi64(kAll8, inNumber);
            const __m512i aligned = _mm512_maskz_sllv_epi64(kAll8, _mm512_and_si512(Nibble(text), inNumber), shift);
            const __m512i pairs = _mm512_maddubs_epi16(aligned, _mm512_set1_epi16(0x0110));
            const __m512i halves = _mm512_madd_epi16(pairs, _mm512_set1_epi32(0x00010100));
            // Each lane's high sixteen bits are in its low half, its low ones above.
            const __m512i value = _mm512_or_si512(
                _mm512_and_si512(_mm512_maskz_slli_epi64(kAll8, halves, 16), _mm512_set1_epi64(0xFFFF0000)),
                _mm512_maskz_srli_epi64(kAll8, halves, 32));
            _mm512_storeu_si512(values + first, value);
            const __m512i digitCount
                = _mm512_maskz_srli_epi64(kAll8, _mm512_sub_epi64(_mm512_set1_epi64(64), shift), 3);
            _mm256_storeu_si256(
                reinterpret_cast<__m256i*>(hexDigits + first), _mm512_maskz_cvtepi64_epi32(kAll8, digitCount));
        });
    }

    static std::uint64_t LongHexValue(const unsigned char* text, int n) { return LongHexValueSsse3(text, n); }

    // The zero-masked forms throughout: the plain ones leave GCC 12 seeing
    // uninitialised vectors.
    static constexpr __mmask16 kAll16 = 0xFFFF;
    static constexpr __mmask8 kAll8 = 0xFF;

    static __mmask64 IsHex(__m512i text)
    {
        return Below(text, '0', 10) | Below(_mm512_or_si512(text, Bytes(0x20)), 'a', 6);
    }

    // Sixteen 32-bit values widened to 64 bits.
    static void StoreValues32(std::uint64_t* values, __m512i value)
    {
        _mm512_storeu_si512(values, _mm512_maskz_cvtepu32_epi64(kAll8, _mm512_maskz_extracti64x4_epi64(0xF, value, 0)));
        _mm512_storeu_si512(
            values + 8, _mm512_maskz_cvtepu32_epi64(kAll8, _mm512_maskz_extracti64x4_epi64(0xF, value, 1)));
    }

    // For the numbers at the starts of the block at p, a vector at a time:
    // the laneBytes bytes from offset after each number's start, in a lane
    // of their own, to convert(text, index of the vector's first number).
    // Converts whole vectors; returns the count of numbers.
    template <std::size_t laneBytes, typename Convert>
    static std::size_t ShortNumbers(const unsigned char* p, std::uint64_t starts, int offset, Convert convert)
    {
        const __m512i block = Load(p);
        const __m512i next = Load(p + 64);
        const __m512i positions = _mm512_maskz_compress_epi8(starts, Load(kLaneBytes<1, false>.data()));
        const __m512i places
            = _mm512_add_epi8(Load(kLaneBytes<laneBytes, true>.data()), Bytes(static_cast<char>(offset)));
        const auto count = static_cast<std::size_t>(__builtin_popcountll(starts));
        for (std::size_t first = 0; first < count; first += 64 / laneBytes) {
            const __m512i lanes
                = _mm512_add_epi8(Load(kLaneBytes<laneBytes, false>.data()), Bytes(static_cast<char>(first)));
            const __m512i at = _mm512_add_epi8(_mm512_maskz_permutexvar_epi8(~__mmask64{0}, lanes, positions), places);
            convert(_mm512_permutex2var_epi8(block, at, next), first);
        }
        return count;
    }

    // In each lane of laneBytes (4 or 8), all ones below the lane's first
    // byte of the mask: a number's bytes, up to its first non-digit.
    template <std::size_t laneBytes>
    static __m512i BeforeFirst(__mmask64 mask)
    {
        const __m512i bytes = _mm512_movm_epi8(mask);
        if constexpr (laneBytes == 4) {
            const __m512i lowest = _mm512_and_si512(bytes, _mm512_sub_epi32(_mm512_setzero_si512(), bytes));
            return _mm512_sub_epi32(lowest, _mm512_set1_epi32(1));
        } else {
            const __m512i lowest = _mm512_and_si512(bytes, _mm512_sub_epi64(_mm512_setzero_si512(), bytes));
            return _mm512_sub_epi64(lowest, _mm512_set1_epi64(1));
        }
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

std::size_t FindByteItemsAvx512(
    const unsigned char*& position, const unsigned char* end, unsigned char* values, std::size_t capacity)
{
    return CTextBlocks<CAvx512Classifier>::FindByteItems(position, end, values, capacity);
}

std::size_t FindLowBytesAvx512(
    const unsigned char*& position, const unsigned char* end, unsigned char* values, std::size_t capacity)
{
    return CTextBlocks<CAvx512Classifier>::FindLowBytes(position, end, values, capacity);
}

std::size_t FindDecimalLowBytesAvx512(
    const unsigned char*& position, const unsigned char* end, unsigned char* values, std::size_t capacity)
{
    return CTextBlocks<CAvx512Classifier>::FindDecimalLowBytes(position, end, values, capacity);
}

std::size_t FindNumbersAvx512(
    const unsigned char*& position, const unsigned char* end, CFoundNumbers numbers, std::size_t capacity)
{
    return CTextBlocks<CAvx512Classifier>::FindNumbers(position, end, numbers, capacity);
}

// The text of the first count values (at most the layout's) XOR flip, as
// the layout places them: its first size bytes, in whole 64-byte stores
// (masked stores cost more than the room they spare), so that up to
// kFormattedLinesRoom bytes may be written.
void PlaceText(unsigned char* out, const unsigned char* bytes, std::size_t count, std::size_t size, unsigned char flip,
    const CTextLayout& layout)
{
    const __mmask64 loaded = count >= 64 ? ~__mmask64{0} : (__mmask64{1} << count) - 1;
    const __m512i values = _mm512_xor_si512(_mm512_maskz_loadu_epi8(loaded, bytes), Bytes(static_cast<char>(flip)));
    const __m512i high = HexDigit(_mm512_and_si512(_mm512_srli_epi16(values, 4), Bytes(0x0F)));
    const __m512i low = HexDigit(_mm512_and_si512(values, Bytes(0x0F)));
    for (std::size_t half = 0; half < kFormattedLinesRoom / 64 && 64 * half < size; ++half) {
        const __m512i digits = _mm512_permutex2var_epi8(high, _mm512_load_si512(layout.digit + 64 * half), low);
        const __m512i text
            = _mm512_mask_blend_epi8(layout.digitMask[half], _mm512_load_si512(layout.fixed + 64 * half), digits);
        _mm512_storeu_si512(out + 64 * half, text);
    }
}

void FormatByteItemsAvx512(unsigned char* out, const unsigned char* bytes, unsigned char flip)
{
    PlaceText(out, bytes, kFormattedItems, kSixteenItems.size, flip, kSixteenItems);
}

CFormattedLines FormatLinesAvx512(
    unsigned char* out, const unsigned char* bytes, std::size_t groups, unsigned char flip, int lineUnit, int unit)
{
    const auto width = static_cast<std::size_t>(unit);
    const auto items = static_cast<std::size_t>(lineUnit);
    if (width > kWidestUnit || kFirstLines[width] + items > kFirstLines[width + 1])
        return {0, 0};
    const CTextLayout& layout = kLines[kFirstLines[width] + items - 1];
    // No division for a whole step, by far the commonest.
    CFormattedLines taken{layout.groups, layout.size};
    if (groups < layout.groups)
        taken = {groups / items * items, groups / items * LineSize(width, items)};
    if (taken.groups != 0)
        PlaceText(out, bytes, taken.groups * width, taken.size, flip, layout);
    return taken;
}

std::size_t FormatWideItemsAvx512(unsigned char* out, const unsigned char* bytes, std::size_t groups, int unit)
{
    const auto width = static_cast<std::size_t>(unit);
    if (width < 2 || width > kWidestUnit)
        return 0;
    const CTextLayout& layout = kWideItems[width];
    const std::size_t taken = std::min(layout.groups, groups);
    if (taken != 0)
        PlaceText(out, bytes, taken * width, taken * ItemSize(width), 0, layout);
    return taken;
}

#if defined(__clang__)
#pragma clang attribute pop
#elif defined(__GNUC__)
#pragma GCC pop_options
#endif

bool ProcessorHasAvx512()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl")
        && __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2")
        && __builtin_cpu_supports("avx512cd") && __builtin_cpu_supports("bmi");
}

#endif
