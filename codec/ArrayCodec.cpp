#include "ArrayCodec.h"

#include "ByteStreams.h"
#include "NumberScanner.h"
#include "TextArrayWriter.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>
#include <filesystem>

namespace {

constexpr int kMinByteUnit = 1;
constexpr int kMaxByteUnit = 9;

std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

std::string FileError(const char* action, const std::string& path, int errorNumber)
{
    return std::string(action) + " " + Quoted(path) + ": " + std::strerror(errorNumber);
}

// Writes every number as byte-unit bytes, least significant first.
class CBinarySink : public CScannerSink
{
public:
    CBinarySink(CByteWriter& out, int byteUnit) : m_out(out), m_nByteUnit(byteUnit) {}

    void OnNumberCompleted(const CScannedNumber& number)
    {
        unsigned char* pos = m_out.Reserve(kMaxByteUnit);
        for (int k = 0; k < m_nByteUnit; ++k)
            pos[k] = number.Byte(k);
        m_out.Commit(pos + m_nByteUnit);
    }

private:
    CByteWriter& m_out;
    int m_nByteUnit;
};

// Writes the bitwise complement of every number within the byte unit, in the
// number's own kind.
class CInvertSink : public CScannerSink
{
public:
    CInvertSink(CTextArrayWriter& text, int byteUnit)
        : m_text(text)
        , m_nByteUnit(byteUnit)
        // Decimal numbers are 32-bit, so units above 4 complement all 32 bits.
        , m_nDecimalMask(byteUnit >= 4 ? 0xFFFFFFFFu : (1u << (8 * byteUnit)) - 1)
    {
    }

    void OnNumberCompleted(const CScannedNumber& number)
    {
        unsigned char* pos = m_text.BeginItem();
        if (number.kind == CScannedNumber::Kind::Hex && m_nByteUnit == 1) {
            pos = CTextArrayWriter::PutByteItem(pos, static_cast<unsigned char>(~number.low));
        } else {
            pos = number.kind == CScannedNumber::Kind::Hex ? PutComplementHex(pos, number) : PutComplementDecimal(pos, number);
            *pos++ = ',';
        }
        m_text.EndItem(pos);
    }

private:
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
        char* const text = reinterpret_cast<char*>(pos);
        return pos + (std::to_chars(text, text + 10, complement).ptr - text);
    }

    CTextArrayWriter& m_text;
    int m_nByteUnit;
    std::uint32_t m_nDecimalMask;
};

// Finds the width in bytes of the widest number: hex by its count of digit
// pairs (leading zeros count), decimal by its value.
class CWidthSink : public CScannerSink
{
public:
    void OnNumberStarted()
    {
        m_nWidth = 0;
        m_bOddDigit = false;
    }

    void OnHexDigit()
    {
        if (!m_bOddDigit && m_nWidth < INT_MAX)
            ++m_nWidth;
        m_bOddDigit = !m_bOddDigit;
    }

    void OnDecimalDigit(std::uint32_t value)
    {
        m_nWidth = 0;
        for (; value != 0; value >>= 8)
            ++m_nWidth;
    }

    void OnNumberCompleted(const CScannedNumber& /*number*/) { m_nMaximum = std::max(m_nMaximum, m_nWidth); }

    int Maximum() const { return m_nMaximum; }

private:
    int m_nMaximum = 0;
    int m_nWidth = 0;
    bool m_bOddDigit = false;
};

} // namespace

// Shared steps of every conversion: the checks, the opening order that
// protects an existing destination, and the closing that reports any error.
class CConversion
{
public:
    CConversion(const std::string& source, const std::string& dest, std::string& error, std::size_t chunkSize = kChunkSize)
        : m_source(chunkSize), m_strSourcePath(source), m_strDestPath(dest), m_strError(error)
    {
    }

    static bool CheckUnits(int byteUnit, int lineUnit, std::string& error)
    {
        if (byteUnit < kMinByteUnit || byteUnit > kMaxByteUnit) {
            error = "byte unit " + std::to_string(byteUnit) + " is not between 1 and 9";
            return false;
        }
        if (lineUnit < 1) {
            error = "line unit " + std::to_string(lineUnit) + " is below 1";
            return false;
        }
        return true;
    }

    // The source is opened and its first chunk read before the destination is
    // created, so a missing or unreadable source leaves an existing destination
    // untouched; the same file under two names is refused before truncation.
    bool Open(CByteReader::Mode sourceMode)
    {
        if (!OpenSource(m_source, m_strSourcePath, sourceMode, m_strError))
            return false;
        std::error_code ignored;
        if (std::filesystem::equivalent(m_strSourcePath, m_strDestPath, ignored)) {
            m_strError = "source and destination are the same file " + Quoted(m_strDestPath);
            return false;
        }
        if (!m_dest.Open(m_strDestPath)) {
            m_strError = FileError("cannot open destination file", m_strDestPath, m_dest.ErrorNumber());
            return false;
        }
        return true;
    }

    static bool OpenSource(CByteReader& source, const std::string& path, CByteReader::Mode mode, std::string& error)
    {
        if (source.Open(path, mode))
            return true;
        error = FileError("cannot open source file", path, source.ErrorNumber());
        return false;
    }

    // The next chunk of source, or an empty one at the end, after a read error
    // or once the destination can no longer be written.
    std::span<const unsigned char> NextChunk()
    {
        return m_dest.Failed() ? std::span<const unsigned char>() : m_source.NextChunk();
    }

    bool Close()
    {
        const bool written = m_dest.Close();
        if (m_source.Failed()) {
            m_strError = FileError("cannot read source file", m_strSourcePath, m_source.ErrorNumber());
            return false;
        }
        if (!written) {
            m_strError = FileError("cannot write destination file", m_strDestPath, m_dest.ErrorNumber());
            return false;
        }
        return true;
    }

    CByteWriter& Dest() { return m_dest; }

    template <class Sink>
    bool ScanInto(Sink& sink)
    {
        if (!Open(CByteReader::Mode::TextArray))
            return false;
        CNumberScanner<Sink> scanner(sink);
        for (auto chunk = NextChunk(); !chunk.empty(); chunk = NextChunk())
            scanner.Feed(chunk);
        scanner.Finish();
        return Close();
    }

private:
    CByteReader m_source;
    CByteWriter m_dest;
    const std::string& m_strSourcePath;
    const std::string& m_strDestPath;
    std::string& m_strError;
};

void CArrayCodec::SetSourcePath(const std::string& path)
{
    m_szSourcePath = path;
}

void CArrayCodec::SetDestPath(const std::string& path)
{
    m_szDestPath = path;
}

bool CArrayCodec::BinToText(int byteUnit, int lineUnit)
{
    m_strLastError.clear();
    if (!CConversion::CheckUnits(byteUnit, lineUnit, m_strLastError))
        return false;
    const auto unit = static_cast<std::size_t>(byteUnit);
    // Whole groups in every chunk: only the very last group may be short.
    CConversion conversion(m_szSourcePath, m_szDestPath, m_strLastError, kChunkSize - kChunkSize % unit);
    if (!conversion.Open(CByteReader::Mode::Binary))
        return false;

    CTextArrayWriter text(conversion.Dest(), lineUnit);
    for (auto chunk = conversion.NextChunk(); !chunk.empty(); chunk = conversion.NextChunk()) {
        const unsigned char* group = chunk.data();
        std::size_t left = chunk.size();
        if (unit == 1) {
            text.WriteByteItems(group, left);
            continue;
        }
        for (; left >= unit; group += unit, left -= unit) {
            unsigned char* pos = CTextArrayWriter::PutHexLittleEndian(text.BeginItem(), group, unit);
            *pos++ = ',';
            text.EndItem(pos);
        }
        // A short group ends the file and has no comma.
        if (left > 0)
            text.EndItem(CTextArrayWriter::PutHexLittleEndian(text.BeginItem(), group, left));
    }
    return conversion.Close();
}

bool CArrayCodec::TextToBin(int byteUnit, int lineUnit)
{
    m_strLastError.clear();
    if (!CConversion::CheckUnits(byteUnit, lineUnit, m_strLastError))
        return false;
    CConversion conversion(m_szSourcePath, m_szDestPath, m_strLastError);
    CBinarySink sink(conversion.Dest(), byteUnit);
    return conversion.ScanInto(sink);
}

bool CArrayCodec::InvertText(int byteUnit, int lineUnit)
{
    m_strLastError.clear();
    if (!CConversion::CheckUnits(byteUnit, lineUnit, m_strLastError))
        return false;
    CConversion conversion(m_szSourcePath, m_szDestPath, m_strLastError);
    CTextArrayWriter text(conversion.Dest(), lineUnit);
    CInvertSink sink(text, byteUnit);
    return conversion.ScanInto(sink);
}

int CArrayCodec::ScanByteUnit()
{
    m_strLastError.clear();
    CByteReader source;
    if (!CConversion::OpenSource(source, m_szSourcePath, CByteReader::Mode::TextArray, m_strLastError))
        return 0;
    CWidthSink sink;
    CNumberScanner<CWidthSink> scanner(sink);
    for (auto chunk = source.NextChunk(); !chunk.empty(); chunk = source.NextChunk())
        scanner.Feed(chunk);
    scanner.Finish();
    if (source.Failed()) {
        m_strLastError = FileError("cannot read source file", m_szSourcePath, source.ErrorNumber());
        return 0;
    }
    return sink.Maximum();
}
