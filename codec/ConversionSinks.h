#pragma once

#include "ByteStreams.h"
#include "NumberScanner.h"
#include "TextArrayWriter.h"
#include "Units.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
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

        std::size_t Size() const { return m_bytes.size(); }
        // Nothing is logged: handing the part over is a copy.
        std::size_t OtherCount() const { return 0; }

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
public:
    CInvertSink(CTextArrayWriter& text, int byteUnit)
        : m_text(text)
        , m_nByteUnit(byteUnit)
        // Decimal numbers are 32-bit, so units above 4 complement all 32 bits.
        , m_nDecimalMask(byteUnit >= 4 ? 0xFFFFFFFFu : (1u << (8 * byteUnit)) - 1)
    {
    }

    void OnNumberCompleted(const CScannedNumber& number) { m_text.EndItem(PutComplement(m_text.BeginItem(), number)); }

    void OnNumbers(const CFoundNumbers& numbers, std::size_t count)
    {
        m_text.WriteItems(
            count, [this, &numbers](unsigned char* pos, std::size_t k) { return PutComplement(pos, numbers.At(k)); });
    }

    // Runs of one-byte hex items: with byte unit 1, their complements in the
    // writer's fastest form.
    void OnByteItems(const unsigned char* values, std::size_t count)
    {
        if (m_nByteUnit != 1) {
            CompleteEach(*this, values, count);
            return;
        }
        m_text.WriteByteItems(values, count, 0xFF);
    }

private:
    // The item of the number's complement, its comma included.
    unsigned char* PutComplement(unsigned char* pos, const CScannedNumber& number) const
    {
        if (number.kind == CScannedNumber::Kind::Hex && m_nByteUnit == 1)
            return CTextArrayWriter::PutByteItem(pos, static_cast<unsigned char>(~number.low));
        pos = number.kind == CScannedNumber::Kind::Hex ? PutComplementHex(pos, number)
                                                       : PutComplementDecimal(pos, number);
        *pos++ = ',';
        return pos;
    }

    unsigned char* PutComplementHex(unsigned char* pos, const CScannedNumber& number) const
    {
        // All nine bytes: a fixed count unrolls cleanly, and only the byte
        // unit's low ones are written.
        unsigned char complement[kMaxByteUnit];
        for (int k = 0; k < kMaxByteUnit; ++k)
            complement[k] = static_cast<unsigned char>(~number.Byte(k));
        return CTextArrayWriter::PutHexLittleEndian(pos, complement, static_cast<std::size_t>(m_nByteUnit));
    }

    unsigned char* PutComplementDecimal(unsigned char* pos, const CScannedNumber& number) const
    {
        const std::uint32_t complement = ~static_cast<std::uint32_t>(number.low) & m_nDecimalMask;
        if (complement < kSmallDecimals.size()) {
            // One fixed-size copy: the item's room covers the bytes past its digits.
            std::memcpy(pos, kSmallDecimals[complement].data(), 4);
            return pos + kSmallDecimals[complement][4];
        }
        char* const text = reinterpret_cast<char*>(pos);
        return pos + (std::to_chars(text, text + 10, complement).ptr - text);
    }

    // The digits of every byte value, and their count last: decimal texts
    // are mostly bytes.
    static constexpr std::array<std::array<char, 5>, 256> kSmallDecimals = [] {
        std::array<std::array<char, 5>, 256> decimals{};
        for (int value = 0; value < 256; ++value) {
            int count = 0;
            for (int power = value >= 100 ? 100 : value >= 10 ? 10 : 1; power > 0; power /= 10)
                decimals[value][count++] = static_cast<char>('0' + value / power % 10);
            decimals[value][4] = static_cast<char>(count);
        }
        return decimals;
    }();

    CTextArrayWriter& m_text;
    int m_nByteUnit;
    std::uint32_t m_nDecimalMask;
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

private:
    int m_nMaximum = 0;
};
