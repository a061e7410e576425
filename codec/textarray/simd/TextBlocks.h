#pragma once

// The block finders' logic, shared by every instruction set: a classifier
// turns a block of text into bit masks and digit-pair values, and this finds
// the one-byte hex items in them, or numbers of any common shape. Only the
// classifiers hold intrinsics.
//
// Internal linkage on purpose: each instruction set's file compiles its own
// copy for its own processor features, and no copy can stand in for another.

#include "simd/BlockMasks.h"
#include "textarray/ScanPath.h"
#include "textarray/SpeedLayers.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// The value of n decimal digits (1 to 8) at the start of word, the first in
// its lowest byte: shifted so that zeros lead, then pairs, fours and eights
// of digits combined by multiplication.
inline std::uint64_t DecimalValue(std::uint64_t word, int n)
{
    std::uint64_t value = (word & 0x0F0F0F0F0F0F0F0F) << (8 * (8 - n));
    value = (value * 10 + (value >> 8)) & 0x00FF00FF00FF00FF;
    value = (value * 100 + (value >> 16)) & 0x0000FFFF0000FFFF;
    return (value * 10000 + (value >> 32)) & 0xFFFFFFFF;
}

// The value of n hex digits (1 to 8) of either case at the start of word.
// 64-bit all through: a 32-bit value spilled and reloaded whole stalls the
// load behind the narrower store.
inline std::uint64_t HexValue(std::uint64_t word, int n)
{
    // Letters have bit 6 set: their low four bits and 9 make their value.
    std::uint64_t nibbles = ((word & 0x0F0F0F0F0F0F0F0F) + (word >> 6 & 0x0101010101010101) * 9) << (8 * (8 - n));
    nibbles = (nibbles << 4 | nibbles >> 8) & 0x00FF00FF00FF00FF;
    nibbles = (nibbles | nibbles >> 8) & 0x0000FFFF0000FFFF;
    return __builtin_bswap64(nibbles | nibbles >> 16) >> 32;
}

inline std::uint64_t WordAt(const unsigned char* p)
{
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// A Classifier has kWidth (16, 32 or 64) and
//   static CBlockMasks Classify(const unsigned char* lane, unsigned char* pairs);
// which reads lane[0] to lane[kWidth + 2] and sets pairs[j] to the value of
// the hex digits at lane[j + 2] and lane[j + 3], for j below kWidth (anything
// where those are no hex digits). Blocks are 64 bytes, one bit per byte.
// It may also have
//   static std::size_t Gather(std::uint64_t starts, const unsigned char* pairs, unsigned char* values);
// which does what Extract below does, writing at most kMaxItems + 8 values;
// LongHexValue, for hex numbers of 9 to 16 digits; and ShortDecimals,
// ShortHex and DecimalLowBytes, which convert whole blocks of short numbers.
template <class Classifier>
class CTextBlocks
{
public:
    static constexpr std::size_t kWidth = 64;
    // Items start at least five bytes apart.
    static constexpr std::size_t kMaxItems = (kWidth + 4) / 5;
    static_assert(kMaxItems + 8 <= kByteItemFinderRoom);
    // Numbers start at least two bytes apart.
    static_assert(kWidth / 2 <= kNumberFinderRoom);

    static std::size_t FindByteItems(
        const unsigned char*& position, const unsigned char* end, unsigned char* values, std::size_t capacity)
    {
        const unsigned char* p = position;
        const std::size_t readAhead = ReadAheadDistance();
        if (!WholeBlockAt(p, end))
            return 0;
        // Two sets of pairs, this block's and the next one's.
        unsigned char pairs[2][kWidth];
        int here = 0;
        CBlockMasks block = Classify(p, pairs[here], readAhead);
        std::uint64_t carried = 0;   // bytes of this block taken by the previous block's last item
        std::size_t count = 0;
        while (count + kByteItemFinderRoom <= capacity && WholeBlockAt(p, end)) {
            // The next block tells whether an item ends within this one's last bytes.
            const CBlockMasks next = Classify(p + kWidth, pairs[here ^ 1], readAhead);
            // "0x", two hex digits, then a byte that is no hex digit.
            std::uint64_t starts = block.prefixes & Ahead(block.hex, next.hex, 2) & Ahead(block.hex, next.hex, 3)
                & ~Ahead(block.hex, next.hex, 4);
            const std::uint64_t nextStarts = next.prefixes & next.hex >> 2 & next.hex >> 3 & ~(next.hex >> 4);
            const std::uint64_t taken = carried | starts | starts << 2 | starts << 3 | starts << 4;
            // A digit outside every item starts a number of another shape;
            // an item whose last digit starts another ("0x10x12") is read
            // otherwise by the scanner, which leaves that to its own steps,
            // as it does the end mark.
            const std::uint64_t irregular
                = (block.digits & ~taken) | (starts & Ahead(starts, nextStarts, 3)) | block.ends;
            if (irregular != 0) {
                const int at = __builtin_ctzll(irregular);
                starts &= (std::uint64_t{1} << at) - 1;
                count += Extract(starts, pairs[here], values + count);
                position = p + at;
                return count;
            }
            count += Extract(starts, pairs[here], values + count);
            carried = starts >> (kWidth - 2) | starts >> (kWidth - 3) | starts >> (kWidth - 4);
            p += kWidth;
            block = next;
            here ^= 1;
        }
        // Past the bytes of the last item taken, unless its separator is the
        // end mark, which the scanner must see.
        const std::uint64_t endingSeparator = carried & block.ends;
        position = p
            + (endingSeparator != 0 ? __builtin_ctzll(endingSeparator)
                    : carried == 0  ? 0
                                    : 64 - __builtin_clzll(carried));
        return count;
    }

    // Hex numbers of two digits or more after "0x" or "0X", each by the value
    // of its last two digits: all that sinks of one-byte units keep of a
    // number (the scanner's own steps wrap the longest ones, which keeps
    // it). Numbers and separators as FindNumbers takes them, but stops at
    // decimal numbers, shorter hex ones and runs of letters, which the
    // other finders and steps read.
    static std::size_t FindLowBytes(
        const unsigned char*& position, const unsigned char* end, unsigned char* values, std::size_t capacity)
    {
        const unsigned char* p = position;
        const std::size_t readAhead = ReadAheadDistance();
        if (!WholeBlockAt(p, end))
            return 0;
        unsigned char pairs[2][kWidth];
        int here = 0;
        CBlockMasks block = Classify(p, pairs[here], readAhead);
        CLowBytesCarry carry{0, 0, p, -1, 0};
        std::size_t count = 0;
        while (count + kByteItemFinderRoom <= capacity && WholeBlockAt(p, end)) {
            const CBlockMasks next = Classify(p + kWidth, pairs[here ^ 1], readAhead);
            const std::uint64_t runs = block.hex | block.xs;
            const std::uint64_t starts = runs & ~(runs << 1 | carry.continued);
            // Bit j: the last digits at j + 2 and j + 3.
            const std::uint64_t lasts = (runs & ~Ahead(runs, next.hex | next.xs, 1)) >> 3;
            const std::uint64_t irregular = IrregularForLowBytes(block, next, starts, carry.continuedPrefix);
            if (irregular != 0) {
                const unsigned char* stop = NumberStart(p, std::countr_zero(irregular), runs, starts, carry.open);
                count += LowBytesBefore(stop - p, lasts, carry, pairs[here], values + count);
                position = stop;
                return count;
            }
            if (carry.carried >= 0)
                values[count++] = static_cast<unsigned char>(carry.carried);
            count += Extract(lasts, pairs[here], values + count);
            CarryLowBytes(carry, p, block, next, starts, pairs[here]);
            p += kWidth;
            block = next;
            here ^= 1;
        }
        // Where the scanner is idle: before a number that goes on into the
        // block not taken, whose byte is not taken yet.
        position = (carry.continued & (block.hex | block.xs)) != 0 ? carry.open : p;
        return count;
    }

    // Decimal numbers of up to four digits, each by its low byte, for sinks
    // of one-byte units: the blocks whose numbers are all such, without
    // widening each value to a number's 12 bytes; stops at the first block
    // that is not. Each number is taken with the block where it ends.
    static std::size_t FindDecimalLowBytes(
        const unsigned char*& position, const unsigned char* end, unsigned char* values, std::size_t capacity)
    {
        const unsigned char* p = position;
        const std::size_t readAhead = ReadAheadDistance();
        if (!WholeBlockAt(p, end))
            return 0;
        unsigned char pairs[kWidth];   // not needed here
        CBlockMasks block = Classify(p, pairs, readAhead);
        std::uint64_t before = 0;   // the digits of the block before, none at the start
        std::size_t count = 0;
        // A block holds up to 32 numbers, as many as a number finder's room.
        while (count + kNumberFinderRoom <= capacity && WholeBlockAt(p, end)) {
            const CBlockMasks next = Classify(p + kWidth, pairs, readAhead);
            if (!OnlyShortDecimals(block, next))
                break;
            const std::uint64_t ends = block.digits & ~Ahead(block.digits, next.digits, 1);
            count += Classifier::DecimalLowBytes(p, block.digits, before, ends, values + count);
            before = block.digits;
            p += kWidth;
            block = next;
        }
        // Back to the start of a number that goes on into the block not taken.
        const bool open = (before >> (kWidth - 1) & block.digits & 1) != 0;
        position = p - (open ? std::countl_one(before) : 0);
        return count;
    }

    // Decimal numbers of up to 16 digits and hex numbers of 1 to 16 digits,
    // each a run of digits, letters and x's set apart by other bytes, and
    // runs of letters and x's alone, which separate; anything else stops.
    static std::size_t FindNumbers(
        const unsigned char*& position, const unsigned char* end, CFoundNumbers numbers, std::size_t capacity)
    {
        const unsigned char* p = position;
        const std::size_t readAhead = ReadAheadDistance();
        const unsigned char* after = p;   // past the last run taken
        if (!WholeBlockAt(p, end))
            return 0;
        unsigned char pairs[kWidth];   // not needed here
        CBlockMasks block = Classify(p, pairs, readAhead);
        std::uint64_t continued = 0;   // bit 0: a run goes on from the previous block
        std::uint64_t continuedPrefix = 0;   // bit 0: its "0x" is split between the blocks
        // Texts keep their shape: after a block that is not all short
        // numbers, the next few are not tried as such, which spares texts of
        // long numbers a try on every block.
        int blocksUntilShortTry = 0;
        std::size_t count = 0;
        while (count + kNumberFinderRoom <= capacity && WholeBlockAt(p, end)) {
            const CBlockMasks next = Classify(p + kWidth, pairs, readAhead);
            const std::uint64_t runs = block.hex | block.xs;
            const std::uint64_t nextRuns = next.hex | next.xs;
            const std::uint64_t starts = runs & ~(runs << 1 | continued);
            bool shortNumbers = false;
            if constexpr (kConvertsShortNumbers)
                shortNumbers
                    = TakeShortNumbers(p, block, next, starts, continuedPrefix, blocksUntilShortTry, numbers, count);
            if (shortNumbers) {
                // Past the last number's digits, wherever it ends.
                after = p + kWidth + (runs >> (kWidth - 1) != 0 ? std::countr_one(nextRuns) : 0);
            } else if (const unsigned char* stop = TakeRuns(p, block, next, starts, numbers, count, after)) {
                position = stop;
                return count;
            }
            continued = runs >> (kWidth - 1);
            continuedPrefix = block.prefixes >> (kWidth - 1);
            p += kWidth;
            block = next;
        }
        position = after > p ? after : p;
        return count;
    }

private:
    // Whether the classifier converts blocks of short numbers a vector at a time.
    static constexpr bool kConvertsShortNumbers = requires(const unsigned char* p, std::uint64_t starts,
        std::uint64_t* values, std::uint32_t* hexDigits) { Classifier::ShortDecimals(p, starts, values, hexDigits); };

    static constexpr int kBlocksBetweenShortTries = 7;

    // What FindLowBytes carries from a block to the next.
    struct CLowBytesCarry
    {
        std::uint64_t continued;         // bit 0: a number goes on from the previous block
        std::uint64_t continuedPrefix;   // bit 0: the previous block ends with the 0 of "0x"
        const unsigned char* open;       // where the number going on began
        // A number that ends within the first three bytes of the block: the
        // previous block's pairs hold its byte (carried, -1 for none), and
        // carriedLast its last digit's place.
        int carried;
        int carriedLast;
    };

    // For FindLowBytes, the bytes that its numbers do not explain: a run
    // that "0x" does not begin, or that holds another; an x of no "0x";
    // fewer than two digits; the end mark.
    [[gnu::always_inline]] static std::uint64_t IrregularForLowBytes(
        const CBlockMasks& block, const CBlockMasks& next, std::uint64_t starts, std::uint64_t continuedPrefix)
    {
        const std::uint64_t twoDigits = Ahead(block.hex, next.hex, 2) & Ahead(block.hex, next.hex, 3);
        return (starts ^ block.prefixes) | (block.xs & ~(block.prefixes << 1 | continuedPrefix))
            | (block.prefixes & ~twoDigits) | block.ends;
    }

    // Where the scanner goes on from an irregular byte, at, of the block at
    // p: back to the start of the number that holds it, which the other
    // steps read whole (open, if it began in an earlier block); outside
    // numbers, as the end mark is, at the byte itself.
    [[gnu::always_inline]] static const unsigned char* NumberStart(
        const unsigned char* p, int at, std::uint64_t runs, std::uint64_t starts, const unsigned char* open)
    {
        const std::uint64_t startsBefore = starts & ((std::uint64_t{2} << at) - 1);
        if ((runs >> at & 1) == 0)
            return p + at;
        return startsBefore != 0 ? p + (kWidth - 1 - std::countl_zero(startsBefore)) : open;
    }

    // The low bytes of the numbers that end before stopAt, the carried one
    // first; lasts as FindLowBytes shifts them.
    [[gnu::always_inline]] static std::size_t LowBytesBefore(std::ptrdiff_t stopAt, std::uint64_t lasts,
        const CLowBytesCarry& carry, const unsigned char* pairs, unsigned char* values)
    {
        std::size_t count = 0;
        if (carry.carried >= 0 && stopAt > carry.carriedLast)
            values[count++] = static_cast<unsigned char>(carry.carried);
        const std::uint64_t taken = stopAt > 3 ? lasts & ((std::uint64_t{1} << (stopAt - 3)) - 1) : 0;
        return count + Extract(taken, pairs, values + count);
    }

    // What the block at p leaves to the next, whose pairs hold no byte of a
    // number that ends within its first three bytes: this block's do.
    [[gnu::always_inline]] static void CarryLowBytes(CLowBytesCarry& carry, const unsigned char* p,
        const CBlockMasks& block, const CBlockMasks& next, std::uint64_t starts, const unsigned char* pairs)
    {
        const std::uint64_t nextRuns = next.hex | next.xs;
        const std::uint64_t nextLasts = nextRuns & ~(nextRuns >> 1) & 7;
        carry.carriedLast = std::countr_zero(nextLasts);
        carry.carried = nextLasts != 0 ? pairs[kWidth - 3 + carry.carriedLast] : -1;
        carry.continued = (block.hex | block.xs) >> (kWidth - 1);
        carry.continuedPrefix = block.prefixes >> (kWidth - 1);
        if (starts != 0)
            carry.open = p + (kWidth - 1 - std::countl_zero(starts));
    }

    // With a classifier that converts them, the block's numbers in one go
    // where they are all short decimal or short hex ones; true if so.
    [[gnu::always_inline]] static bool TakeShortNumbers(const unsigned char* p, const CBlockMasks& block,
        const CBlockMasks& next, std::uint64_t starts, std::uint64_t continuedPrefix, int& blocksUntilShortTry,
        CFoundNumbers numbers, std::size_t& count)
    {
        if (blocksUntilShortTry != 0) {
            --blocksUntilShortTry;
            return false;
        }
        const bool decimals = OnlyShortDecimals(block, next);
        const int hexDigits = decimals ? 0 : MostShortHexDigits(block, next, starts, continuedPrefix);
        if (!decimals && hexDigits == 0) {
            blocksUntilShortTry = kBlocksBetweenShortTries;
            return false;
        }
        std::uint64_t* values = numbers.values + count;
        std::uint32_t* digits = numbers.hexDigits + count;
        count += decimals ? Classifier::ShortDecimals(p, starts, values, digits)
                          : Classifier::ShortHex(p, starts, hexDigits, values, digits);
        return true;
    }

    // The runs at starts in the block at p one at a time, up to the end
    // mark: decimal numbers of up to 16 digits, hex ones of up to 16 after
    // "0x", and runs of letters and x's, which separate. Returns where the
    // scanner must go on by its own steps (at a run of another shape, or the
    // end mark), or null to go on with the next block.
    [[gnu::always_inline]] static const unsigned char* TakeRuns(const unsigned char* p, const CBlockMasks& block,
        const CBlockMasks& next, std::uint64_t starts, CFoundNumbers numbers, std::size_t& count,
        const unsigned char*& after)
    {
        const std::uint64_t runs = block.hex | block.xs;
        const std::uint64_t nextRuns = next.hex | next.xs;
        const std::uint64_t letters = runs & ~block.digits;
        const std::uint64_t nextLetters = nextRuns & ~next.digits;
        if (block.ends != 0)
            starts &= (std::uint64_t{1} << std::countr_zero(block.ends)) - 1;
        for (; starts != 0; starts &= starts - 1) {
            const int at = std::countr_zero(starts);
            const int length = std::countr_one(Ahead(runs, nextRuns, at));
            const unsigned char* text = p + at;
            if (length > 18)
                return text;
            const std::uint64_t run = (std::uint64_t{1} << length) - 1;
            if ((Ahead(letters, nextLetters, at) & run) == 0 && length <= 16) {
                numbers.values[count] = DecimalDigitsValue(text, length);
                numbers.hexDigits[count++] = 0;
            } else if ((block.prefixes >> at & 1) && (Ahead(block.xs, next.xs, at) & run) == 2 && length >= 3) {
                numbers.values[count] = HexDigitsValue(text + 2, length - 2);
                numbers.hexDigits[count++] = static_cast<std::uint32_t>(length - 2);
            } else if ((Ahead(block.digits, next.digits, at) & run) != 0) {
                return text;
            }
            after = text + length;
        }
        // The end mark separates no run from another; the scanner's own
        // steps read it.
        return block.ends != 0 ? p + std::countr_zero(block.ends) : nullptr;
    }

    // Whether every number that starts in the block is decimal of at most
    // four digits, with nothing else but separators: no letter or x, no end
    // mark, and only digits of the last number in the next block.
    static bool OnlyShortDecimals(const CBlockMasks& block, const CBlockMasks& next)
    {
        if (block.ends != 0 || block.hex != block.digits || block.xs != 0)
            return false;
        return RunsOfAtLeast(block.digits, next.digits, 5) == 0
            && TailOnly(block.digits, next.hex | next.xs, next.digits);
    }

    // 4 or 8 if every number that starts in the block is "0x" or "0X" and
    // one to that many hex digits, with nothing else but separators: no
    // other x, no end mark, and only its x and digits of the last number in
    // the next block; else 0. continuedPrefix: the block starts with the x of
    // a number's "0x".
    static int MostShortHexDigits(
        const CBlockMasks& block, const CBlockMasks& next, std::uint64_t starts, std::uint64_t continuedPrefix)
    {
        if (block.ends != 0 || starts != block.prefixes || block.xs != (block.prefixes << 1 | continuedPrefix)
            || (Ahead(block.hex, next.hex, 2) & starts) != starts)
            return 0;
        const std::uint64_t runs = block.hex | block.xs;
        const std::uint64_t nextRuns = next.hex | next.xs;
        const std::uint64_t splitPrefix = block.prefixes >> (kWidth - 1);
        if (!TailOnly(runs, nextRuns, next.hex | splitPrefix))
            return 0;
        return RunsOfAtLeast(runs, nextRuns, 7) == 0 ? 4 : RunsOfAtLeast(runs, nextRuns, 11) == 0 ? 8 : 0;
    }

    // Bit j: n (1 to 64) bytes of the mask in a row from byte j, the next
    // block's bytes following this one's; rows covering twice as many
    // bytes a step.
    static std::uint64_t RunsOfAtLeast(std::uint64_t mask, std::uint64_t nextMask, int n)
    {
        std::uint64_t rows = mask;
        std::uint64_t nextRows = nextMask;
        const auto cover = [&](int shift) {
            rows &= Ahead(rows, nextRows, shift);
            nextRows &= nextRows >> shift;
        };
        int covered = 1;
        for (; 2 * covered <= n; covered *= 2)
            cover(covered);
        if (covered < n)
            cover(n - covered);
        return rows;
    }

    // Whether the block's last run, if it goes on into the next block, is
    // made there of allowed bytes only.
    static bool TailOnly(std::uint64_t runs, std::uint64_t nextRuns, std::uint64_t allowed)
    {
        return runs >> (kWidth - 1) == 0 || std::countr_one(allowed) == std::countr_one(nextRuns);
    }

    // Bytes beyond a run's digits are loaded too: the blocks' room covers them.
    static std::uint32_t DecimalDigitsValue(const unsigned char* text, int n)
    {
        if (n <= 8)
            return static_cast<std::uint32_t>(DecimalValue(WordAt(text), n));
        // Modulo 2^32, as the scanner's own steps wrap.
        return static_cast<std::uint32_t>(
            DecimalValue(WordAt(text), n - 8) * 100000000 + DecimalValue(WordAt(text + n - 8), 8));
    }

    static std::uint64_t HexDigitsValue(const unsigned char* text, int n)
    {
        if (n <= 8)
            return HexValue(WordAt(text), n);
        if constexpr (requires { Classifier::LongHexValue(text, n); })
            return Classifier::LongHexValue(text, n);
        return HexValue(WordAt(text), n - 8) << 32 | HexValue(WordAt(text + n - 8), 8);
    }

    // Room for this block, the next, and the digit pairs beyond them.
    static bool WholeBlockAt(const unsigned char* p, const unsigned char* end)
    {
        return static_cast<std::size_t>(end - p) >= 2 * kWidth + 3;
    }

    // Bit j: bit j + shift of the two blocks' masks side by side (shift 0 to 63).
    static std::uint64_t Ahead(std::uint64_t mask, std::uint64_t nextMask, int shift)
    {
        return mask >> shift | nextMask << 1 << (kWidth - 1 - shift);
    }

    // Also asks for the text readAhead bytes on, without which the finders
    // would wait for memory at most blocks.
    static CBlockMasks Classify(const unsigned char* block, unsigned char* pairs, std::size_t readAhead)
    {
        Prefetch(block, readAhead);
        CBlockMasks masks{0, 0, 0, 0, 0};
        for (std::size_t lane = 0; lane < kWidth; lane += Classifier::kWidth) {
            const CBlockMasks part = Classifier::Classify(block + lane, pairs + lane);
            masks.digits |= part.digits << lane;
            masks.hex |= part.hex << lane;
            masks.prefixes |= part.prefixes << lane;
            masks.xs |= part.xs << lane;
            masks.ends |= part.ends << lane;
        }
        return masks;
    }

    // The values of the items at starts, in order; always writes kMaxItems,
    // so that no branch depends on the count. Past the last item, the top
    // bit stands in: what it yields lies beyond the count.
    static std::size_t Extract(std::uint64_t starts, const unsigned char* pairs, unsigned char* values)
    {
        if constexpr (requires { Classifier::Gather(starts, pairs, values); })
            return Classifier::Gather(starts, pairs, values);
        const auto count = static_cast<std::size_t>(__builtin_popcountll(starts));
        for (std::size_t k = 0; k < kMaxItems; ++k) {
            values[k] = pairs[__builtin_ctzll(starts | std::uint64_t{1} << (kWidth - 1))];
            starts &= starts - 1;
        }
        return count;
    }
};

} // namespace
