// The item formatters with AVX-512, used where the processor has it: up to
// kFormattedLinesRoom bytes of items' text placed by a byte permute (VBMI)
// per 64 bytes, from tables laid out at compile time.
#include "simd/Kernels.h"
#include "textarray/ByteUnit.h"

#if defined(__x86_64__) || defined(_M_X64)

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <immintrin.h>

#include "simd/avx512/TargetBegin.h"

#include "simd/avx512/Bytes.h"

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

// The upper-case hex digit of every nibble.
__m512i HexDigit(__m512i nibbles)
{
    const __m512i decimal = _mm512_add_epi8(nibbles, Bytes('0'));
    return _mm512_mask_add_epi8(decimal, _mm512_cmpgt_epu8_mask(nibbles, Bytes(9)), decimal, Bytes('A' - '0' - 10));
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

} // namespace

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

#include "simd/avx512/TargetEnd.h"

#endif
