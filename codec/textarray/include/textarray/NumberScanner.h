#pragma once

#include "textarray/HexTables.h"
#include "textarray/ScanPath.h"
#include "textarray/ScannedNumber.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

// What takes a scanner's numbers: each completed number, and runs of
// one-byte hex items ("0xHH") as their values, the writers' common case.
// Nothing depends on how the text was cut, so a text may be scanned in parts.
template <class Sink>
concept NumberSink
    = requires(Sink& sink, const CScannedNumber& number, const unsigned char* values, std::size_t count) {
          sink.OnNumberCompleted(number);
          sink.OnByteItems(values, count);
      };

// Numbers found a block at a time: in one call to sinks that take them so.
template <class Sink>
void HandNumbers(Sink& sink, const CFoundNumbers& numbers, std::size_t count)
{
    if constexpr (requires { sink.OnNumbers(numbers, count); }) {
        sink.OnNumbers(numbers, count);
    } else {
        for (std::size_t i = 0; i < count; ++i)
            sink.OnNumberCompleted(numbers.At(i));
    }
}

// Whether the sink keeps no more of a number than its low byte (a unit of
// one byte): blocks of hex numbers of any width then reach it as one-byte
// items, and blocks of short decimal ones by their low bytes.
template <class Sink>
bool TakesLowBytes(const Sink& sink)
{
    if constexpr (requires { sink.TakesLowBytes(); })
        return sink.TakesLowBytes();
    return false;
}

// Decimal numbers' low bytes, found a block at a time for sinks that keep no
// more: in one call to sinks that take them so.
template <class Sink>
void HandDecimalLowBytes(Sink& sink, const unsigned char* values, std::size_t count)
{
    if constexpr (requires { sink.OnDecimalLowBytes(values, count); }) {
        sink.OnDecimalLowBytes(values, count);
    } else {
        for (std::size_t i = 0; i < count; ++i)
            sink.OnNumberCompleted({CScannedNumber::Kind::Decimal, values[i], 0, 0});
    }
}

// The most items or numbers a scanner hands a sink in one call: a sink's
// buffer for one call needs no more.
inline constexpr std::size_t kScanBatch = 256;

// The one reader of text arrays. A run of digits anywhere is a number; "0x" or
// "0X" where a number starts makes it hex; a leading 0 never means octal; every
// other byte separates numbers, and the byte that ends a number is consumed.
// The text ends at its first 0x1A, as at the end of input. Input arrives in
// chunks of any size; the state carries across them.
template <NumberSink Sink>
class CNumberScanner
{
public:
    explicit CNumberScanner(Sink& sink)
        : CNumberScanner(sink, CurrentScanKernels())
    {
    }

    // Nothing more is read once the end mark has been.
    void Feed(std::span<const unsigned char> chunk);

    // End of input: the number in progress completes as if a separator followed.
    void Finish();

    // Whether the text's end mark has been read: what follows is no part of it.
    bool Ended() const { return m_bEnded; }

private:
    enum class State { Idle, Zero, Hex, Decimal };

    // The number in progress, carried from chunk to chunk.
    struct COpenNumber
    {
        State state = State::Idle;
        std::uint64_t low = 0;
        std::uint8_t high = 0;
        std::uint32_t hexDigits = 0;
        std::uint32_t decimal = 0;
    };

    CNumberScanner(Sink& sink, const CScanKernels& kernels)
        : m_sink(sink)
        , m_bLowBytes(TakesLowBytes(sink) && kernels.findLowBytes)
        , m_findByteItems(m_bLowBytes ? kernels.findLowBytes : kernels.findByteItems)
        , m_findNumbers(kernels.findNumbers)
        , m_findDecimalLowBytes(m_bLowBytes ? kernels.findDecimalLowBytes : nullptr)
    {
    }

    // Items taken one by one before blocks are tried: text whose numbers
    // have other shapes never pays for tries that fail.
    static constexpr std::size_t kItemsBeforeBlocks = 4;
    // Numbers of other shapes that this many steps take alone, after blocks
    // of numbers found none: irregular text pays little for the tries.
    static constexpr int kNumbersBeforeBlocks = 16;

    // The commonest item, "0xHH" and the separator after it: its value, or
    // nothing if the text at p has another shape.
    static bool MatchByteItem(const unsigned char* p, const unsigned char* end, unsigned char& value)
    {
        using hex_tables::kHexValue;
        using hex_tables::kNotADigit;
        if constexpr (std::endian::native == std::endian::little) {
            // The exact form the writers use, "0x" and a comma around the
            // digits, checked with one comparison of a whole word.
            std::uint64_t word;
            if (end - p >= 8 && (std::memcpy(&word, p, sizeof word), (word & 0xFF0000FFFF) == 0x2C00007830)) {
                const int high = hex_tables::HexValueOf(p[2]);
                const int low = hex_tables::HexValueOf(p[3]);
                if ((high | low) < 0)
                    return false;
                value = static_cast<unsigned char>(high << 4 | low);
                return true;
            }
        }
        if (end - p < 5 || p[0] != '0' || (p[1] | 0x20) != 'x' || kHexValue[p[2]] == kNotADigit
            || kHexValue[p[3]] == kNotADigit || kHexValue[p[4]] != kNotADigit || p[4] == kEndOfText)
            return false;
        value = static_cast<unsigned char>(kHexValue[p[2]] << 4 | kHexValue[p[3]]);
        return true;
    }

    // Skips separators and takes runs of such items whole, and numbers of the
    // other common shapes, a block at a time where the scan path has block
    // finders. True with p at a number that the general steps must read;
    // false at the end of the chunk or of the text.
    bool TakeByteItems(const unsigned char*& position, const unsigned char* end);

    // Numbers of any common shape at p, a block at a time, after the items
    // held so far; false, with none taken, where the blocks find none.
    bool TakeNumberBlocks(const unsigned char*& p, const unsigned char* end, unsigned char* items, std::size_t& count)
    {
        if (!m_findNumbers)
            return false;
        if (m_nNumbersBeforeBlocks > 0) {
            --m_nNumbersBeforeBlocks;
            return false;
        }
        if (m_bLowBytes && TakeItemBlocks(p, end, items, count))
            return true;
        if (m_findDecimalLowBytes) {
            unsigned char bytes[kScanBatch];
            const auto find = [&] { return m_findDecimalLowBytes(p, end, bytes, kScanBatch); };
            if (TakeBatches(items, count, find, [&](std::size_t found) { HandDecimalLowBytes(m_sink, bytes, found); }))
                return true;
        }
        std::uint64_t values[kScanBatch];
        std::uint32_t hexDigits[kScanBatch];
        const CFoundNumbers numbers{values, hexDigits};
        const auto find = [&] { return m_findNumbers(p, end, numbers, kScanBatch); };
        if (TakeBatches(items, count, find, [&](std::size_t found) { HandNumbers(m_sink, numbers, found); }))
            return true;
        m_nNumbersBeforeBlocks = kNumbersBeforeBlocks;
        return false;
    }

    // Batches from find(), which returns how many it found, each handed on
    // by hand(found) after the items held so far, until one ends short of a
    // number finder's room; whether any were found.
    template <typename Find, typename Hand>
    bool TakeBatches(unsigned char* items, std::size_t& count, Find find, Hand hand)
    {
        bool tookAny = false;
        for (;;) {
            const std::size_t found = find();
            if (found != 0) {
                if (!tookAny) {
                    DeliverByteItems(items, count);
                    count = 0;
                    tookAny = true;
                }
                hand(found);
            }
            if (found + kNumberFinderRoom <= kScanBatch)
                return tookAny;
        }
    }

    // Items at p a block at a time, after the count held in items; false
    // where the blocks find none.
    bool TakeItemBlocks(const unsigned char*& p, const unsigned char* end, unsigned char* items, std::size_t& count)
    {
        const unsigned char* const from = p;
        for (;;) {
            if (kScanBatch - count < kByteItemFinderRoom) {
                DeliverByteItems(items, count);
                count = 0;
            }
            count += m_findByteItems(p, end, items + count, kScanBatch - count);
            if (kScanBatch - count >= kByteItemFinderRoom)
                return p != from;
        }
    }

    void DeliverByteItems(const unsigned char* values, std::size_t count)
    {
        if (count != 0)
            m_sink.OnByteItems(values, count);
    }

    // The general steps, one state of the table each. Forced inline: Feed
    // keeps the number in registers only while they are part of its loop.

    // One step at p, before end: false where the scan stops, at the end of
    // the chunk or of the text.
    [[gnu::always_inline]] bool Step(COpenNumber& number, const unsigned char*& p, const unsigned char* end)
    {
        switch (number.state) {
        case State::Idle: return StartNumber(number, p, end);
        case State::Zero: AfterZero(number, p); return true;
        case State::Hex:
            if (!TakeHexDigits(number, p, end))
                return false;
            CompleteHex(number.low, number.high, number.hexDigits);
            return EndNumber(number, p);
        case State::Decimal:
            if (!TakeDecimalDigits(number, p, end))
                return false;
            CompleteDecimal(number.decimal);
            return EndNumber(number, p);
        }
        return false;
    }

    // Past separators and the runs the fast paths take, to a number's first
    // digit; false if none comes in the chunk or the text.
    [[gnu::always_inline]] bool StartNumber(COpenNumber& number, const unsigned char*& p, const unsigned char* end)
    {
        if (!TakeByteItems(p, end))
            return false;
        if (*p != '0') {
            number.decimal = 0;
            number.state = State::Decimal;   // this digit is taken again in Decimal
            return true;
        }
        ++p;
        number.state = State::Zero;
        return true;
    }

    // After a leading 0: "x" makes the number hex; any other byte is
    // examined again as a decimal number's.
    [[gnu::always_inline]] static void AfterZero(COpenNumber& number, const unsigned char*& p)
    {
        if ((*p | 0x20) == 'x') {
            ++p;
            number.low = 0;
            number.high = 0;
            number.hexDigits = 0;
            number.state = State::Hex;
        } else {
            number.decimal = 0;
            number.state = State::Decimal;
        }
    }

    // The hex digits at p; false where the chunk ends among them.
    [[gnu::always_inline]] static bool TakeHexDigits(
        COpenNumber& number, const unsigned char*& p, const unsigned char* end)
    {
        for (;;) {
            const std::int8_t digit = hex_tables::kHexValue[*p];
            if (digit == hex_tables::kNotADigit)
                return true;
            number.high = static_cast<std::uint8_t>(number.high << 4 | number.low >> 60);
            number.low = number.low << 4 | static_cast<std::uint64_t>(digit);
            number.hexDigits += number.hexDigits != UINT32_MAX;
            if (++p == end)
                return false;
        }
    }

    // The decimal digits at p; false where the chunk ends among them.
    [[gnu::always_inline]] static bool TakeDecimalDigits(
        COpenNumber& number, const unsigned char*& p, const unsigned char* end)
    {
        while (hex_tables::IsDecimalDigit(*p)) {
            number.decimal = number.decimal * 10 + static_cast<std::uint32_t>(*p - '0');
            if (++p == end)
                return false;
        }
        return true;
    }

    // Takes the byte that ended a completed number; false if it ends the text.
    [[gnu::always_inline]] bool EndNumber(COpenNumber& number, const unsigned char*& p)
    {
        number.state = State::Idle;
        if (*p++ != kEndOfText)
            return true;
        m_bEnded = true;
        return false;
    }

    void CompleteHex(std::uint64_t low, std::uint8_t high, std::uint32_t digits)
    {
        m_sink.OnNumberCompleted({CScannedNumber::Kind::Hex, low, high, digits});
    }
    void CompleteDecimal(std::uint32_t value)
    {
        m_sink.OnNumberCompleted({CScannedNumber::Kind::Decimal, value, 0, 0});
    }

    Sink& m_sink;
    const bool m_bLowBytes;                 // m_findByteItems takes hex numbers of any width
    const ByteItemFinder m_findByteItems;   // none on the scalar path
    const NumberFinder m_findNumbers;       // nor this
    const ByteItemFinder m_findDecimalLowBytes;   // for sinks of low bytes, on paths that have one
    int m_nNumbersBeforeBlocks = 0;
    bool m_bEnded = false;
    COpenNumber m_number;
};

template <NumberSink Sink>
void CNumberScanner<Sink>::Feed(std::span<const unsigned char> chunk)
{
    if (m_bEnded)
        return;
    const unsigned char* p = chunk.data();
    const unsigned char* const end = p + chunk.size();
    // A local, not the member: the sinks write through byte pointers, which
    // would otherwise force the number back to memory on each step.
    COpenNumber number = m_number;
    while (p != end && Step(number, p, end)) {}
    m_number = number;
}

template <NumberSink Sink>
bool CNumberScanner<Sink>::TakeByteItems(const unsigned char*& position, const unsigned char* end)
{
    // A local position: written back through the reference on every item,
    // it would cost a store each time.
    const unsigned char* p = position;
    unsigned char values[kScanBatch];
    std::size_t count = 0;
    std::size_t run = 0;   // items taken one by one since blocks were last tried
    bool atNumber = false;
    while (p != end) {
        if (!hex_tables::IsDecimalDigit(*p)) {
            if (*p++ == kEndOfText) {
                m_bEnded = true;
                break;
            }
            continue;
        }
        if (!MatchByteItem(p, end, values[count])) {
            if (TakeNumberBlocks(p, end, values, count))
                continue;
            atNumber = true;
            break;
        }
        p += 5;
        if (++count == kScanBatch) {
            DeliverByteItems(values, count);
            count = 0;
        }
        if (m_findByteItems && ++run == kItemsBeforeBlocks) {
            run = 0;
            TakeItemBlocks(p, end, values, count);
        }
    }
    DeliverByteItems(values, count);
    position = p;
    return atNumber;
}

template <NumberSink Sink>
void CNumberScanner<Sink>::Finish()
{
    switch (m_number.state) {
    case State::Idle: break;
    case State::Zero: CompleteDecimal(0); break;
    case State::Hex: CompleteHex(m_number.low, m_number.high, m_number.hexDigits); break;
    case State::Decimal: CompleteDecimal(m_number.decimal); break;
    }
    m_number.state = State::Idle;
}
