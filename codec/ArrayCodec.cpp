#include "codec/ArrayCodec.h"

#include "ConversionFiles.h"
#include "textarray/ConversionSinks.h"
#include "csource/CSourceReader.h"
#include "textarray/ScanText.h"
#include "fileio/QuotedName.h"

#include <new>
#include <optional>

namespace {

// A whole conversion of a text array source: every number to the sink.
template <class Sink>
CConversionResult ScanInto(CConversionFiles& files, Sink& sink)
{
    if (auto opened = files.Open(); !opened)
        return opened;
    ScanText(sink, [&files] { return files.NextChunk(); });
    return files.Close();
}

} // namespace

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

template <typename Convert>
CConversionResult CArrayCodec::WithUnits(int byteUnit, int lineUnit, Convert convert)
{
    return Guarded([&] {
        const auto units = CConversionFiles::CheckUnits(byteUnit, lineUnit);
        return units.byteUnit ? convert(*units.byteUnit) : units.refused;
    });
}

CConversionResult CArrayCodec::BinToText(int byteUnit, int lineUnit)
{
    return WithUnits(byteUnit, lineUnit, [&](CByteUnit unit) { return ConvertBinToText(unit, lineUnit); });
}

CConversionResult CArrayCodec::TextToBin(int byteUnit, int lineUnit)
{
    return WithUnits(byteUnit, lineUnit, [&](CByteUnit unit) { return ConvertTextToBin(unit); });
}

CConversionResult CArrayCodec::InvertText(int byteUnit, int lineUnit)
{
    return WithUnits(byteUnit, lineUnit, [&](CByteUnit unit) { return ConvertInvertText(unit, lineUnit); });
}

CConversionResult CArrayCodec::CSourceToBin(int byteUnit, int lineUnit)
{
    // Byte unit 0, the declared width, passes the check as unit 1 would.
    const bool declaredWidth = byteUnit == 0;
    return WithUnits(declaredWidth ? CByteUnit::kMin : byteUnit, lineUnit,
        [&](CByteUnit unit) { return ConvertCSourceToBin(declaredWidth ? std::nullopt : std::optional(unit)); });
}

CByteUnitScan CArrayCodec::ScanByteUnit()
{
    return Guarded([&] { return ScanWidth(); });
}

CConversionResult CArrayCodec::ConvertBinToText(CByteUnit byteUnit, int lineUnit)
{
    const std::size_t unit = byteUnit.Size();
    // Whole groups in every chunk: only the very last group may be short.
    CConversionFiles files(m_szSourcePath, m_szDestPath, m_progress, CByteReader::ChunkOfWholeGroups(unit),
        CByteReader::Access::WindowsLoadedAhead);
    if (auto opened = files.Open(); !opened)
        return opened;

    CTextArrayWriter text(files.Dest(), lineUnit);
    for (auto chunk = files.NextChunk(); !chunk.empty(); chunk = files.NextChunk()) {
        const unsigned char* group = chunk.data();
        std::size_t left = chunk.size();
        if (byteUnit.IsOneByte()) {
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

CConversionResult CArrayCodec::ConvertTextToBin(CByteUnit byteUnit)
{
    CConversionFiles files(m_szSourcePath, m_szDestPath, m_progress);
    CBinarySink sink(files.Dest(), byteUnit);
    return ScanInto(files, sink);
}

CConversionResult CArrayCodec::ConvertInvertText(CByteUnit byteUnit, int lineUnit)
{
    CConversionFiles files(m_szSourcePath, m_szDestPath, m_progress);
    CTextArrayWriter text(files.Dest(), lineUnit);
    CInvertSink sink(text, byteUnit);
    return ScanInto(files, sink);
}

CConversionResult CArrayCodec::ConvertCSourceToBin(std::optional<CByteUnit> byteUnit)
{
    CConversionFiles files(m_szSourcePath, m_szDestPath, m_progress);
    if (auto opened = files.Open(); !opened)
        return opened;
    CSourceOptions options = m_cSourceOptions;
    options.byteUnit = byteUnit;
    CSourceReader reader(files.Dest(), options, files.SourceSize());
    for (auto chunk = files.NextChunk(); !chunk.empty() && !reader.Failed(); chunk = files.NextChunk())
        reader.Feed(chunk);
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
    ScanText(sink, [&source] { return source.NextChunk(); });
    auto read = CConversionFiles::ReadWhole(source, m_szSourcePath);
    const int width = read ? sink.Maximum() : 0;
    return {std::move(read), width};
}
