#pragma once

#include "fileio/ByteStreams.h"
#include "textarray/ByteUnit.h"
#include "textarray/NumberScanner.h"
#include "textarray/TextArrayWriter.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <climits>
#include <cstdint>
#include <optional>
#include <vector>

// What each operation does with the numbers the scanner finds. What a sink
// does with each number is inline here: the scanner hands numbers of other
// shapes over one by one. Runs and blocks are handled out of line.

// Runs of one-byte items as single completed numbers, for sinks that treat
// them no differently.
template <class Sink>
void CompleteEach(Sink& sink, const unsigned char* values, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        sink.OnNumberCompleted({CScannedNumber::Kind::Hex, values[i], 0, 2});
}

// Writes every number as byte-unit bytes, least significant first.
class CBinarySink
{
public:
    CBinarySink(CByteWriter& out, CByteUnit byteUnit)
        : m_out(out)
        , m_byteUnit(byteUnit)
    {
    }

    // The bytes of a stretch of text, made on the helper thread and written
    // after those before them: they depend on nothing before, so the helper
    // makes them whole rather than logging numbers for this thread.
    class CPart
    {
    public:
        explicit CPart(CByteUnit byteUnit)
            : m_byteUnit(byteUnit)
        {
        }

        void OnNumberCompleted(const CScannedNumber& number)
        {
            for (int k = 0; k < m_byteUnit.Bytes(); ++k)
                m_bytes.push_back(number.Byte(k));
        }

        void OnNumbers(const CFoundNumbers& numbers, std::size_t count);
        void OnByteItems(const unsigned char* values, std::size_t count);
        bool TakesLowBytes() const { return m_byteUnit.IsOneByte(); }
        void OnDecimalLowBytes(const unsigned char* values, std::size_t count) { OnByteItems(values, count); }
        std::size_t Size() const { return m_bytes.size(); }
        void HandTo(CBinarySink& sink) const;
        void Clear() { m_bytes.clear(); }
        void Swap(CPart& other) noexcept { m_bytes.swap(other.m_bytes); }

    private:
        CByteUnit m_byteUnit;
        std::vector<unsigned char> m_bytes;
    };

    CPart MakePart() const { return CPart(m_byteUnit); }
    bool TakesLowBytes() const { return m_byteUnit.IsOneByte(); }
    // Decimal numbers' low bytes, with byte unit 1: the bytes as they are.
    void OnDecimalLowBytes(const unsigned char* values, std::size_t count) { OnByteItems(values, count); }

    void OnNumberCompleted(const CScannedNumber& number)
    {
        unsigned char* pos = m_out.Reserve(CByteUnit::kMax);
        for (int k = 0; k < m_byteUnit.Bytes(); ++k)
            pos[k] = number.Byte(k);
        m_out.Commit(pos + m_byteUnit.Bytes());
    }

    void OnNumbers(const CFoundNumbers& numbers, std::size_t count);
    // Runs of one-byte hex items: with byte unit 1, their bytes as they are.
    void OnByteItems(const unsigned char* values, std::size_t count);

private:
    // The bytes byteAt(0) to byteAt(count - 1).
    template <typename ByteAt>
    void PutEach(std::size_t count, ByteAt byteAt);

    CByteWriter& m_out;
    CByteUnit m_byteUnit;
};

// Writes the bitwise complement of every number within the byte unit, in the
// number's own kind.
class CInvertSink
{
    // The item of a number's complement, its comma included.
    class CComplements
    {
    public:
        explicit CComplements(CByteUnit byteUnit);

        CByteUnit Unit() const { return m_byteUnit; }

        unsigned char* Put(unsigned char* pos, const CScannedNumber& number) const
        {
            if (number.kind == CScannedNumber::Kind::Decimal)
                return PutDecimal(pos, number);
            if (m_byteUnit.IsOneByte())
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
            unsigned char complement[CByteUnit::kMax];
            for (int k = 0; k < CByteUnit::kMax; ++k)
                complement[k] = static_cast<unsigned char>(~number.Byte(k));
            return CTextArrayWriter::PutHexLittleEndian(pos, complement, m_byteUnit.Size());
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

        CByteUnit m_byteUnit;
        std::uint32_t m_nDecimalMask;
    };

public:
    CInvertSink(CTextArrayWriter& text, CByteUnit byteUnit)
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

        void OnNumbers(const CFoundNumbers& numbers, std::size_t count);
        void OnByteItems(const unsigned char* values, std::size_t count);
        bool TakesLowBytes() const { return m_complements.Unit().IsOneByte(); }
        void OnDecimalLowBytes(const unsigned char* values, std::size_t count)
        {
            KeepLowBytes(CScannedNumber::Kind::Decimal, values, count);
        }
        std::size_t Size() const { return m_items.size() + m_nTextSize + m_lengths.size(); }
        void HandTo(CInvertSink& sink) const;
        void Clear();
        void Swap(CPart& other) noexcept;

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

        void KeepLowBytes(CScannedNumber::Kind kind, const unsigned char* values, std::size_t count);
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
    bool TakesLowBytes() const { return m_complements.Unit().IsOneByte(); }
    // Decimal numbers' low bytes, with byte unit 1: their complements' items.
    void OnDecimalLowBytes(const unsigned char* values, std::size_t count);

    void OnNumberCompleted(const CScannedNumber& number)
    {
        m_text.EndItem(m_complements.Put(m_text.BeginItem(), number));
    }

    void OnNumbers(const CFoundNumbers& numbers, std::size_t count);
    // Runs of one-byte hex items: with byte unit 1, their complements in the
    // writer's fastest form.
    void OnByteItems(const unsigned char* values, std::size_t count);

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
