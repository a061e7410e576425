#pragma once

#include "fileio/ByteStreams.h"
#include "textarray/NumberScanner.h"
#include "textarray/TextArrayWriter.h"
#include "textarray/Units.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <climits>
#include <cstdint>
#include <optional>
#include <vector>

// What each operation does with the numbers the scanner finds.

// Writes every number as byte-unit bytes, least significant first.
class CBinarySink
{
public:
    CBinarySink(CByteWriter& out, int byteUnit)
        : m_out(out)
        , m_nByteUnit(byteUnit)
    {
    }

    // The bytes of a stretch of text, made on the helper thread and written
    // after those before them: they depend on nothing before, so the helper
    // makes them whole rather than logging numbers for this thread.
    class CPart
    {
    public:
        explicit CPart(int byteUnit)
            : m_nByteUnit(byteUnit)
        {
        }

        void OnNumberCompleted(const CScannedNumber& number)
        {
            for (int k = 0; k < m_nByteUnit; ++k)
                m_bytes.push_back(number.Byte(k));
        }

        void OnNumbers(const CFoundNumbers& numbers, std::size_t count)
        {
            const std::size_t at = m_bytes.size();
            const auto unit = static_cast<std::size_t>(m_nByteUnit);
            m_bytes.resize(at + count * unit);
            for (std::size_t i = 0; i < count; ++i)
                for (std::size_t k = 0; k < unit; ++k)
                    m_bytes[at + i * unit + k] = numbers.At(i).Byte(static_cast<int>(k));
        }

        void OnByteItems(const unsigned char* values, std::size_t count)
        {
            if (m_nByteUnit == 1)
                m_bytes.insert(m_bytes.end(), values, values + count);
            else
                CompleteEach(*this, values, count);
        }

        bool TakesLowBytes() const { return m_nByteUnit == 1; }
        void OnDecimalLowBytes(const unsigned char* values, std::size_t count) { OnByteItems(values, count); }
        std::size_t Size() const { return m_bytes.size(); }

        void HandTo(CBinarySink& sink) const
        {
            // A plain pointer: the vector's own would be read again after every
            // byte written.
            const unsigned char* const bytes = m_bytes.data();
            sink.PutEach(m_bytes.size(), [bytes](std::size_t i) { return bytes[i]; });
        }

        void Clear() { m_bytes.clear(); }
        void Swap(CPart& other) noexcept { m_bytes.swap(other.m_bytes); }

    private:
        int m_nByteUnit;
        std::vector<unsigned char> m_bytes;
    };

    CPart MakePart() const { return CPart(m_nByteUnit); }
    bool TakesLowBytes() const { return m_nByteUnit == 1; }
    // Decimal numbers' low bytes, with byte unit 1: the bytes as they are.
    void OnDecimalLowBytes(const unsigned char* values, std::size_t count) { OnByteItems(values, count); }

    void OnNumberCompleted(const CScannedNumber& number)
    {
        unsigned char* pos = m_out.Reserve(kMaxByteUnit);
        for (int k = 0; k < m_nByteUnit; ++k)
            pos[k] = number.Byte(k);
        m_out.Commit(pos + m_nByteUnit);
    }

    void OnNumbers(const CFoundNumbers& numbers, std::size_t count)
    {
        if (m_nByteUnit != 1) {
            for (std::size_t i = 0; i < count; ++i)
                OnNumberCompleted(numbers.At(i));
            return;
        }
        PutEach(count, [&numbers](std::size_t i) { return static_cast<unsigned char>(numbers.values[i]); });
    }

    // Runs of one-byte hex items: with byte unit 1, their bytes as they are.
    void OnByteItems(const unsigned char* values, std::size_t count)
    {
        if (m_nByteUnit != 1) {
            CompleteEach(*this, values, count);
            return;
        }
        PutEach(count, [values](std::size_t i) { return values[i]; });
    }

private:
    // The bytes byteAt(0) to byteAt(count - 1).
    template <typename ByteAt>
    void PutEach(std::size_t count, ByteAt byteAt)
    {
        for (std::size_t done = 0; done < count;) {
            const std::size_t piece = std::min(count - done, CByteWriter::kMaxReserve);
            unsigned char* pos = m_out.Reserve(piece);
            for (std::size_t i = 0; i < piece; ++i)
                pos[i] = byteAt(done + i);
            m_out.Commit(pos + piece);
            done += piece;
        }
    }

    CByteWriter& m_out;
    int m_nByteUnit;
};

// Writes the bitwise complement of every number within the byte unit, in the
// number's own kind.
class CInvertSink
{
    // The item of a number's complement, its comma included.
    class CComplements
    {
    public:
        explicit CComplements(int byteUnit)
            : m_nByteUnit(byteUnit)
            // Decimal numbers are 32-bit, so units above 4 complement all 32 bits.
            , m_nDecimalMask(byteUnit >= 4 ? 0xFFFFFFFFu : (1u << (8 * byteUnit)) - 1)
        {
        }

        int ByteUnit() const { return m_nByteUnit; }

        unsigned char* Put(unsigned char* pos, const CScannedNumber& number) const
        {
            if (number.kind == CScannedNumber::Kind::Decimal)
                return PutDecimal(pos, number);
            if (m_nByteUnit == 1)
                return CTextArrayWriter::PutByteItem(pos, static_cast<unsigned char>(~number.low));
            pos = PutHex(pos, number);
            *pos++ = ',';
            return pos;
        }

    private:
        unsigned char* PutHex(unsigned char* pos, const CScannedNumber& number) const
        {
            // All nine bytes: a fixed count unrolls cleanly, and only the byte
            // unit's low ones are written.
            unsigned char complement[kMaxByteUnit];
            for (int k = 0; k < kMaxByteUnit; ++k)
                complement[k] = static_cast<unsigned char>(~number.Byte(k));
            return CTextArrayWriter::PutHexLittleEndian(pos, complement, static_cast<std::size_t>(m_nByteUnit));
        }

        unsigned char* PutDecimal(unsigned char* pos, const CScannedNumber& number) const
        {
            const std::uint32_t complement = ~static_cast<std::uint32_t>(number.low) & m_nDecimalMask;
            // Decimal texts are mostly bytes.
            if (complement <= UCHAR_MAX)
                return CTextArrayWriter::PutDecimalByteItem(pos, static_cast<unsigned char>(complement));
            char* const text = reinterpret_cast<char*>(pos);
            pos += std::to_chars(text, text + 10, complement).ptr - text;
            *pos++ = ',';
            return pos;
        }

        int m_nByteUnit;
        std::uint32_t m_nDecimalMask;
    };

    static constexpr std::size_t kBatch = 256;

    // Byte unit 1 keeps only the low byte of each number, written fastest a
    // run of one kind at a time: the kind of all count numbers, with their low
    // bytes, or none where the kinds mix.
    static std::optional<CScannedNumber::Kind> LowBytesOfOneKind(
        const CFoundNumbers& numbers, std::size_t count, unsigned char* bytes)
    {
        // Loops without branches, which the compiler makes vector steps.
        std::uint32_t decimals = 0;
        for (std::size_t k = 0; k < count; ++k)
            decimals += numbers.hexDigits[k] == 0;
        if (count == 0 || (decimals != 0 && decimals != count))
            return std::nullopt;
        for (std::size_t k = 0; k < count; ++k)
            bytes[k] = static_cast<unsigned char>(numbers.values[k]);
        return decimals == 0 ? CScannedNumber::Kind::Hex : CScannedNumber::Kind::Decimal;
    }

    // The complements' items of count low bytes of numbers of one kind.
    static void WriteComplements(
        CTextArrayWriter& text, CScannedNumber::Kind kind, const unsigned char* bytes, std::size_t count)
    {
        if (kind == CScannedNumber::Kind::Hex)
            text.WriteByteItems(bytes, count, 0xFF);
        else
            text.WriteDecimalComplements(bytes, count);
    }

public:
    CInvertSink(CTextArrayWriter& text, int byteUnit)
        : m_text(text)
        , m_complements(byteUnit)
    {
    }

    // The complements of a stretch of text, made on the helper thread: the
    // items of numbers other than one-byte items end to end, with each one's
    // length, since where the lines break depends on the items before, known
    // only when the part is handed over. At byte unit 1, runs of numbers of
    // one kind are kept as low bytes, which this thread formats fastest a line
    // at a time.
    class CPart
    {
    public:
        explicit CPart(const CComplements& complements)
            : m_complements(complements)
        {
        }

        void OnNumberCompleted(const CScannedNumber& number)
        {
            Format(1, [&](unsigned char* pos, std::size_t) { return m_complements.Put(pos, number); });
        }

        void OnNumbers(const CFoundNumbers& numbers, std::size_t count)
        {
            if (m_complements.ByteUnit() == 1 && count <= kBatch) {
                const std::size_t at = m_items.size();
                m_items.resize(at + count);
                if (const auto kind = LowBytesOfOneKind(numbers, count, m_items.data() + at)) {
                    Extend(kind, count);
                    return;
                }
                m_items.resize(at);
            }
            Format(count, [&](unsigned char* pos, std::size_t k) { return m_complements.Put(pos, numbers.At(k)); });
        }

        void OnByteItems(const unsigned char* values, std::size_t count)
        {
            if (m_complements.ByteUnit() != 1) {
                CompleteEach(*this, values, count);
                return;
            }
            KeepLowBytes(CScannedNumber::Kind::Hex, values, count);
        }

        bool TakesLowBytes() const { return m_complements.ByteUnit() == 1; }
        void OnDecimalLowBytes(const unsigned char* values, std::size_t count)
        {
            KeepLowBytes(CScannedNumber::Kind::Decimal, values, count);
        }
        std::size_t Size() const { return m_items.size() + m_nTextSize + m_lengths.size(); }

        void HandTo(CInvertSink& sink) const
        {
            const unsigned char* items = m_items.data();
            const unsigned char* text = m_text.data();
            const unsigned char* lengths = m_lengths.data();
            for (const CRun& run : m_runs) {
                if (run.lowBytes) {
                    WriteComplements(sink.m_text, *run.lowBytes, items, run.count);
                    items += run.count;
                } else {
                    text += sink.m_text.WriteFormattedItems(text, lengths, run.count);
                    lengths += run.count;
                }
            }
        }

        void Clear()
        {
            m_runs.clear();
            m_items.clear();
            m_nTextSize = 0;
            m_lengths.clear();
        }

        void Swap(CPart& other) noexcept
        {
            m_runs.swap(other.m_runs);
            m_items.swap(other.m_items);
            m_text.swap(other.m_text);
            std::swap(m_nTextSize, other.m_nTextSize);
            m_lengths.swap(other.m_lengths);
        }

    private:
        // count items, each written by put(pos, k), which returns its end.
        template <typename PutItem>
        void Format(std::size_t count, PutItem put)
        {
            const std::size_t room = m_nTextSize + count * CTextArrayWriter::kMaxItemSize + CTextArrayWriter::kCopyStep;
            if (m_text.size() < room)
                m_text.resize(std::max(room, 2 * m_text.size()));
            const std::size_t first = m_lengths.size();
            m_lengths.resize(first + count);
            unsigned char* pos = m_text.data() + m_nTextSize;
            for (std::size_t k = 0; k < count; ++k) {
                unsigned char* const itemEnd = put(pos, k);
                m_lengths[first + k] = static_cast<unsigned char>(itemEnd - pos);
                pos = itemEnd;
            }
            m_nTextSize = static_cast<std::size_t>(pos - m_text.data());
            Extend(std::nullopt, count);
        }

        void KeepLowBytes(CScannedNumber::Kind kind, const unsigned char* values, std::size_t count)
        {
            m_items.insert(m_items.end(), values, values + count);
            Extend(kind, count);
        }

        void Extend(std::optional<CScannedNumber::Kind> lowBytes, std::size_t count)
        {
            if (m_runs.empty() || m_runs.back().lowBytes != lowBytes)
                m_runs.push_back({lowBytes, 0});
            m_runs.back().count += count;
        }

        // Items kept the same way in a row.
        struct CRun
        {
            std::optional<CScannedNumber::Kind> lowBytes;   // their numbers' kind, or none for formatted items
            std::size_t count;
        };

        CComplements m_complements;
        std::vector<CRun> m_runs;
        std::vector<unsigned char> m_items;   // low bytes
        std::vector<unsigned char> m_text;    // m_nTextSize bytes of other items, then room
        std::size_t m_nTextSize = 0;
        std::vector<unsigned char> m_lengths;
    };

    CPart MakePart() const { return CPart(m_complements); }
    bool TakesLowBytes() const { return m_complements.ByteUnit() == 1; }
    // Decimal numbers' low bytes, with byte unit 1: their complements' items.
    void OnDecimalLowBytes(const unsigned char* values, std::size_t count)
    {
        WriteComplements(m_text, CScannedNumber::Kind::Decimal, values, count);
    }

    void OnNumberCompleted(const CScannedNumber& number)
    {
        m_text.EndItem(m_complements.Put(m_text.BeginItem(), number));
    }

    void OnNumbers(const CFoundNumbers& numbers, std::size_t count)
    {
        unsigned char bytes[kBatch];
        for (std::size_t first = 0; first < count; first += kBatch) {
            const std::size_t batch = std::min(kBatch, count - first);
            const CFoundNumbers these{numbers.values + first, numbers.hexDigits + first};
            if (m_complements.ByteUnit() == 1) {
                if (const auto kind = LowBytesOfOneKind(these, batch, bytes)) {
                    WriteComplements(m_text, *kind, bytes, batch);
                    continue;
                }
            }
            m_text.WriteItems(batch,
                [this, &these](unsigned char* pos, std::size_t k) { return m_complements.Put(pos, these.At(k)); });
        }
    }

    // Runs of one-byte hex items: with byte unit 1, their complements in the
    // writer's fastest form.
    void OnByteItems(const unsigned char* values, std::size_t count)
    {
        if (m_complements.ByteUnit() != 1) {
            CompleteEach(*this, values, count);
            return;
        }
        m_text.WriteByteItems(values, count, 0xFF);
    }

private:
    CTextArrayWriter& m_text;
    CComplements m_complements;
};

// Finds the width in bytes of the widest number: hex by its count of digit
// pairs (leading zeros count), decimal by its value.
class CWidthSink
{
public:
    void OnNumberCompleted(const CScannedNumber& number)
    {
        const int width = number.kind == CScannedNumber::Kind::Hex
            ? static_cast<int>(std::min<std::uint32_t>(number.hexDigits / 2 + number.hexDigits % 2, INT_MAX))
            : (std::bit_width(number.low) + 7) / 8;
        m_nMaximum = std::max(m_nMaximum, width);
    }

    void OnByteItems(const unsigned char* /*values*/, std::size_t count)
    {
        if (count != 0)
            m_nMaximum = std::max(m_nMaximum, 1);
    }

    int Maximum() const { return m_nMaximum; }

    // The widest of a stretch of text, found on the helper thread.
    CWidthSink MakePart() const { return {}; }
    std::size_t Size() const { return 0; }
    void HandTo(CWidthSink& sink) const { sink.m_nMaximum = std::max(sink.m_nMaximum, m_nMaximum); }
    void Clear() { m_nMaximum = 0; }
    void Swap(CWidthSink& other) noexcept { std::swap(m_nMaximum, other.m_nMaximum); }

private:
    int m_nMaximum = 0;
};
