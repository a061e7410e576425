#include "codec/ArrayCodec.h"

#include "ConversionFiles.h"
#include "textarray/ConversionSinks.h"
#include "csource/CSourceLexer.h"
#include "csource/ElementWriter.h"
#include "fileio/QuotedName.h"

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
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        decltype(operation()) failed;
        static_cast<CConversionResult&>(failed)
            = CConversionResult::Failed(EFailure::OutOfMemory, {}, 0, "out of memory");
        return failed;
    }
}

CConversionResult CArrayCodec::BinToText(int byteUnit, int lineUnit)
{
    return Guarded([&] { return ConvertBinToText(byteUnit, lineUnit); });
}

CConversionResult CArrayCodec::TextToBin(int byteUnit, int lineUnit)
{
    return Guarded([&] { return ConvertTextToBin(byteUnit, lineUnit); });
}

CConversionResult CArrayCodec::InvertText(int byteUnit, int lineUnit)
{
    return Guarded([&] { return ConvertInvertText(byteUnit, lineUnit); });
}

CConversionResult CArrayCodec::CSourceToBin(int byteUnit, int lineUnit)
{
    return Guarded([&] { return ConvertCSourceToBin(byteUnit, lineUnit); });
}

CByteUnitScan CArrayCodec::ScanByteUnit()
{
    return Guarded([&] { return ScanWidth(); });
}

CConversionResult CArrayCodec::ConvertBinToText(int byteUnit, int lineUnit)
{
    if (auto units = CConversionFiles::CheckUnits(byteUnit, lineUnit); !units)
        return units;
    const auto unit = static_cast<std::size_t>(byteUnit);
    // Whole groups in every chunk: only the very last group may be short.
    CConversionFiles files(m_szSourcePath, m_szDestPath, m_progress, CByteReader::ChunkOfWholeGroups(unit),
        CByteReader::Access::WindowsLoadedAhead);
    if (auto opened = files.Open(); !opened)
        return opened;

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

CConversionResult CArrayCodec::ConvertTextToBin(int byteUnit, int lineUnit)
{
    if (auto units = CConversionFiles::CheckUnits(byteUnit, lineUnit); !units)
        return units;
    CConversionFiles files(m_szSourcePath, m_szDestPath, m_progress);
    CBinarySink sink(files.Dest(), byteUnit);
    return files.ScanInto(sink);
}

CConversionResult CArrayCodec::ConvertInvertText(int byteUnit, int lineUnit)
{
    if (auto units = CConversionFiles::CheckUnits(byteUnit, lineUnit); !units)
        return units;
    CConversionFiles files(m_szSourcePath, m_szDestPath, m_progress);
    CTextArrayWriter text(files.Dest(), lineUnit);
    CInvertSink sink(text, byteUnit);
    return files.ScanInto(sink);
}

CConversionResult CArrayCodec::ConvertCSourceToBin(int byteUnit, int lineUnit)
{
    if (auto checked = CConversionFiles::CheckUnits(byteUnit == 0 ? kMinByteUnit : byteUnit, lineUnit); !checked)
        return checked;
    CConversionFiles files(m_szSourcePath, m_szDestPath, m_progress);
    if (auto opened = files.Open(); !opened)
        return opened;
    CElementWriter elements(files.Dest());
    CInitialiserReader reader(elements, byteUnit);
    CSourceLexer lexer(reader);
    for (auto chunk = files.NextChunk(); !chunk.empty() && !reader.Failed(); chunk = files.NextChunk())
        lexer.Feed(chunk);
    lexer.Finish();
    // A write that failed stopped the reading: the write's failure, not the
    // unfinished initialiser, is the reason.
    if (reader.Finish() || files.Dest().Failed())
        return files.Close();
    files.Dest().Discard();
    // A source cut short by a read error or a cancel is reported as such.
    if (auto read = files.SourceReadWhole(); !read)
        return read;
    return CConversionResult::Failed(EFailure::NotACArray, m_szSourcePath, 0,
        "cannot read " + QuotedFileName(m_szSourcePath) + ": " + reader.Error());
}

CByteUnitScan CArrayCodec::ScanWidth()
{
    CByteReader source(kChunkSize, CConversionFiles::AccessAllowed(CByteReader::Access::MappedWindows));
    source.WatchProgress(m_progress);
    if (auto opened = CConversionFiles::OpenSource(source, m_szSourcePath); !opened)
        return {opened};
    CWidthSink sink;
    CConversionFiles::ScanText(sink, [&source] { return source.NextChunk(); });
    auto read = CConversionFiles::ReadWhole(source, m_szSourcePath);
    const int width = read ? sink.Maximum() : 0;
    return {std::move(read), width};
}
