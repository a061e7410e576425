#include "ArrayCodec.h"

#include "ConversionFiles.h"
#include "ConversionSinks.h"
#include "CSourceLexer.h"
#include "ElementWriter.h"
#include "QuotedName.h"

#include <new>

void CArrayCodec::SetSourcePath(const std::string& path)
{
    m_szSourcePath = path;
}

void CArrayCodec::SetDestPath(const std::string& path)
{
    m_szDestPath = path;
}

template <typename Operation>
auto CArrayCodec::Guarded(Operation operation) -> decltype(operation())
{
    m_strLastError.clear();
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        m_strLastError = "out of memory";
        return {};
    }
}

bool CArrayCodec::BinToText(int byteUnit, int lineUnit)
{
    return Guarded([&] { return ConvertBinToText(byteUnit, lineUnit); });
}

bool CArrayCodec::TextToBin(int byteUnit, int lineUnit)
{
    return Guarded([&] { return ConvertTextToBin(byteUnit, lineUnit); });
}

bool CArrayCodec::InvertText(int byteUnit, int lineUnit)
{
    return Guarded([&] { return ConvertInvertText(byteUnit, lineUnit); });
}

bool CArrayCodec::CSourceToBin(int byteUnit, int lineUnit)
{
    return Guarded([&] { return ConvertCSourceToBin(byteUnit, lineUnit); });
}

int CArrayCodec::ScanByteUnit()
{
    return Guarded([&] { return ScanWidth(); });
}

bool CArrayCodec::ConvertBinToText(int byteUnit, int lineUnit)
{
    if (!CConversionFiles::CheckUnits(byteUnit, lineUnit, m_strLastError))
        return false;
    const auto unit = static_cast<std::size_t>(byteUnit);
    // Whole groups in every chunk: only the very last group may be short.
    CConversionFiles files(m_szSourcePath, m_szDestPath, m_progress, m_strLastError, kChunkSize - kChunkSize % unit);
    if (!files.Open())
        return false;

    CTextArrayWriter text(files.Dest(), lineUnit);
    for (auto chunk = files.NextChunk(); !chunk.empty(); chunk = files.NextChunk()) {
        const unsigned char* group = chunk.data();
        std::size_t left = chunk.size();
        if (unit == 1) {
            text.WriteByteItems(group, left);
            continue;
        }
        text.WriteWideItems(group, left / unit, byteUnit);
        group += left / unit * unit;
        left %= unit;
        // A short group ends the file and has no comma.
        if (left > 0)
            text.EndItem(CTextArrayWriter::PutHexLittleEndian(text.BeginItem(), group, left));
    }
    return files.Close();
}

bool CArrayCodec::ConvertTextToBin(int byteUnit, int lineUnit)
{
    if (!CConversionFiles::CheckUnits(byteUnit, lineUnit, m_strLastError))
        return false;
    CConversionFiles files(m_szSourcePath, m_szDestPath, m_progress, m_strLastError);
    CBinarySink sink(files.Dest(), byteUnit);
    return files.ScanInto(sink);
}

bool CArrayCodec::ConvertInvertText(int byteUnit, int lineUnit)
{
    if (!CConversionFiles::CheckUnits(byteUnit, lineUnit, m_strLastError))
        return false;
    CConversionFiles files(m_szSourcePath, m_szDestPath, m_progress, m_strLastError);
    CTextArrayWriter text(files.Dest(), lineUnit);
    CInvertSink sink(text, byteUnit);
    return files.ScanInto(sink);
}

bool CArrayCodec::ConvertCSourceToBin(int byteUnit, int lineUnit)
{
    if (!CConversionFiles::CheckUnits(byteUnit == 0 ? kMinByteUnit : byteUnit, lineUnit, m_strLastError))
        return false;
    CConversionFiles files(m_szSourcePath, m_szDestPath, m_progress, m_strLastError);
    if (!files.Open())
        return false;
    CElementWriter elements(files.Dest());
    CInitialiserReader reader(elements, byteUnit);
    CSourceLexer lexer(reader);
    for (auto chunk = files.NextChunk(); !chunk.empty() && !reader.Failed(); chunk = files.NextChunk())
        lexer.Feed(chunk);
    lexer.Finish();
    if (reader.Finish())
        return files.Close();
    files.Dest().Discard();
    // A source cut short by a read error or a cancel is reported as such.
    if (files.SourceReadWhole())
        m_strLastError = "cannot read " + QuotedName(m_szSourcePath) + ": " + reader.Error();
    return false;
}

bool CArrayCodec::WasCancelled() const
{
    return m_strLastError == kCancelledError;
}

int CArrayCodec::ScanWidth()
{
    CByteReader source;
    source.WatchProgress(m_progress);
    if (!CConversionFiles::OpenSource(source, m_szSourcePath, m_strLastError))
        return 0;
    CWidthSink sink;
    CConversionFiles::ScanText(sink, [&source] { return source.NextChunk(); });
    return CConversionFiles::ReadWhole(source, m_szSourcePath, m_strLastError) ? sink.Maximum() : 0;
}
