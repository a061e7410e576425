#pragma once

// The classifier of the instruction sets whose comparisons give vectors of
// all-ones bytes (SSE2, AVX2): one body over the primitive operations that
// each set's file supplies. Included inside that file's target region, as
// TextBlocks.h is, so that each compiles its own copy.

#include "simd/BlockMasks.h"
#include "textarray/TextFormat.h"

#include <cstddef>
#include <cstdint>

namespace {

// Ops has a Vector type of kWidth bytes and, over it:
//   Load, Store (unaligned), Set (every byte), Add, Sub, And, Or,
//   Min (unsigned bytes), Equal, Greater (signed bytes), ShiftWordsLeft4
//   (in 16-bit lanes) and Mask (the top bit of every byte).
template <class Ops>
class CVectorClassifier
{
public:
    static constexpr std::size_t kWidth = Ops::kWidth;

    // Reads block[0] to block[kWidth + 2]; pairs[j] takes the value of the hex
    // digits at block[j + 2] and block[j + 3] (anything where those are none).
    static CBlockMasks Classify(const unsigned char* block, unsigned char* pairs)
    {
        const Vector bytes = Ops::Load(block);
        const Vector lower = Ops::Or(bytes, Ops::Set(0x20));
        const Vector digits = Below(bytes, '0', 10);
        const Vector hex = Ops::Or(digits, Below(lower, 'a', 6));
        const Vector nextLower = Ops::Or(Ops::Load(block + 1), Ops::Set(0x20));
        const Vector prefixes = Ops::And(Ops::Equal(bytes, Ops::Set('0')), Ops::Equal(nextLower, Ops::Set('x')));

        // Shifted in 16-bit lanes: the mask drops what crosses into the next byte.
        const Vector high
            = Ops::And(Ops::ShiftWordsLeft4(Nibble(Ops::Load(block + 2))), Ops::Set(static_cast<char>(0xF0)));
        Ops::Store(pairs, Ops::Or(high, Nibble(Ops::Load(block + 3))));
        return {Ops::Mask(digits), Ops::Mask(hex), Ops::Mask(prefixes), Ops::Mask(Ops::Equal(lower, Ops::Set('x'))),
            Ops::Mask(Ops::Equal(bytes, Ops::Set(kEndOfText)))};
    }

private:
    using Vector = typename Ops::Vector;

    // All ones where a byte lies in [first, first + count).
    static Vector Below(Vector bytes, char first, char count)
    {
        const Vector offset = Ops::Sub(bytes, Ops::Set(first));
        return Ops::Equal(Ops::Min(offset, Ops::Set(static_cast<char>(count - 1))), offset);
    }

    // A hex digit's value; only the low four bits count, and only for digits.
    static Vector Nibble(Vector bytes)
    {
        const Vector letter = Ops::And(Ops::Greater(bytes, Ops::Set('9')), Ops::Set(9));
        return Ops::Add(Ops::And(bytes, Ops::Set(0x0F)), letter);
    }
};

} // namespace
