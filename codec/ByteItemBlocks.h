#pragma once

// The block finder's logic, shared by every instruction set: a classifier
// turns a block of text into bit masks and digit-pair values, and this finds
// the one-byte hex items in them. Only the classifiers hold intrinsics.
//
// Internal linkage on purpose: each instruction set's file compiles its own
// copy for its own processor features, and no copy can stand in for another.

#include "ScanPath.h"

#include <cstddef>
#include <cstdint>

namespace {

// Bit j stands for byte j of a block.
struct CBlockMasks
{
    std::uint64_t digits;     // 0 to 9
    std::uint64_t hex;        // hex digits of either case
    std::uint64_t prefixes;   // "0x" or "0X" starts here
    std::uint64_t ends;       // the text's end mark, 0x1A
};

// A Classifier has kWidth (16 or 32) and
//   static CBlockMasks Classify(const unsigned char* lane, unsigned char* pairs);
// which reads lane[0] to lane[kWidth + 2] and sets pairs[j] to the value of
// the hex digits at lane[j + 2] and lane[j + 3], for j below kWidth (anything
// where those are no hex digits). Blocks are 64 bytes, one bit per byte.
// It may also have
//   static std::size_t Gather(std::uint64_t starts, const unsigned char* pairs, unsigned char* values);
// which does what Extract below does, writing at most kMaxItems + 8 values.
template <class Classifier>
class CByteItemBlocks
{
public:
    static constexpr std::size_t kWidth = 64;
    // Items start at least five bytes apart.
    static constexpr std::size_t kMaxItems = (kWidth + 4) / 5;
    static_assert(kMaxItems + 8 <= kByteItemFinderRoom);

    static std::size_t Find(const unsigned char*& position, const unsigned char* end, unsigned char* values,
        std::size_t capacity)
    {
        const unsigned char* p = position;
        if (!WholeBlockAt(p, end))
            return 0;
        // Two sets of pairs, this block's and the next one's.
        unsigned char pairs[2][kWidth];
        int here = 0;
        CBlockMasks block = Classify(p, pairs[here]);
        std::uint64_t carried = 0;   // bytes of this block taken by the previous block's last item
        std::size_t count = 0;
        while (count + kByteItemFinderRoom <= capacity && WholeBlockAt(p, end)) {
            // The next block tells whether an item ends within this one's last bytes.
            const CBlockMasks next = Classify(p + kWidth, pairs[here ^ 1]);
            // "0x", two hex digits, then a byte that is no hex digit.
            std::uint64_t starts = block.prefixes & Ahead(block.hex, next.hex, 2) & Ahead(block.hex, next.hex, 3)
                & ~Ahead(block.hex, next.hex, 4);
            const std::uint64_t nextStarts = next.prefixes & next.hex >> 2 & next.hex >> 3 & ~(next.hex >> 4);
            const std::uint64_t taken = carried | starts | starts << 2 | starts << 3 | starts << 4;
            // A digit outside every item starts a number of another shape;
            // an item whose last digit starts another ("0x10x12") is read
            // otherwise by the scanner, which leaves that to its own steps,
            // as it does the end mark.
            const std::uint64_t irregular = (block.digits & ~taken) | (starts & Ahead(starts, nextStarts, 3)) | block.ends;
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
        position = p + (endingSeparator != 0 ? __builtin_ctzll(endingSeparator) : carried == 0 ? 0 : 64 - __builtin_clzll(carried));
        return count;
    }

private:
    // Room for this block, the next, and the digit pairs beyond them.
    static bool WholeBlockAt(const unsigned char* p, const unsigned char* end)
    {
        return static_cast<std::size_t>(end - p) >= 2 * kWidth + 3;
    }

    // Bit j: bit j + shift of the two blocks' masks side by side (shift 1 to 63).
    static std::uint64_t Ahead(std::uint64_t mask, std::uint64_t nextMask, int shift)
    {
        return mask >> shift | nextMask << (kWidth - shift);
    }

    static CBlockMasks Classify(const unsigned char* block, unsigned char* pairs)
    {
        CBlockMasks masks{0, 0, 0, 0};
        for (std::size_t lane = 0; lane < kWidth; lane += Classifier::kWidth) {
            const CBlockMasks part = Classifier::Classify(block + lane, pairs + lane);
            masks.digits |= part.digits << lane;
            masks.hex |= part.hex << lane;
            masks.prefixes |= part.prefixes << lane;
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
