#include "ArrayCodec.h"

#include "Conversion.h"
#include "ConversionSinks.h"

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
