#pragma once

#include "fileio/ByteStreams.h"
#include "codec/ConversionResult.h"
#include "textarray/SpeedLayers.h"
#include "textarray/SplitScanner.h"

#include <span>
#include <string>

// Shared steps of every conversion: the checks, the opening order that
// protects an existing destination, and the closing that reports any error.
class CConversionFiles
{
public:
    CConversionFiles(const std::string& source, const std::string& dest, const ProgressCallback& progress,
        std::size_t chunkSize = kChunkSize, CByteReader::Access access = CByteReader::Access::MappedWindows)
        : m_source(chunkSize, AccessAllowed(access))
        , m_strSourcePath(source)
        , m_strDestPath(dest)
    {
        m_source.WatchProgress(progress);
    }

    static CConversionResult CheckUnits(int byteUnit, int lineUnit);

    // The access asked for, or copies while the mapped-reads speed layer is off.
    static CByteReader::Access AccessAllowed(CByteReader::Access access)
    {
        return CurrentSpeedLayers().mappedReads ? access : CByteReader::Access::Copies;
    }

    // The source is opened and its first chunk read before the destination is
    // created, so a missing or unreadable source leaves an existing destination
    // untouched; the same file under two names is refused.
    CConversionResult Open();

    static CConversionResult OpenSource(CByteReader& source, const std::string& path);

    // Whether the source was read to its end as it was opened: cancelled, or
    // failed after a read error or when it changed.
    static CConversionResult ReadWhole(const CByteReader& source, const std::string& path);

    // The next chunk of source, or an empty one at the end, after a read error
    // or once the destination can no longer be written.
    std::span<const unsigned char> NextChunk()
    {
        return m_dest.Failed() ? std::span<const unsigned char>() : m_source.NextChunk();
    }

    // Closes both files and puts the destination in place; the old
    // destination is kept after any read or write error or once cancelled.
    CConversionResult Close();

    bool Cancelled() const { return m_source.Cancelled(); }

    // Whether the source was read so far without a fault or cancel.
    CConversionResult SourceReadWhole() const { return ReadWhole(m_source, m_strSourcePath); }

    CByteWriter& Dest() { return m_dest; }

    // A whole conversion of a text array source: every number to the sink.
    template <NumberSink Sink>
    CConversionResult ScanInto(Sink& sink)
    {
        if (auto opened = Open(); !opened)
            return opened;
        ScanText(sink, [this] { return NextChunk(); });
        return Close();
    }

    // Every number of the chunks that next returns to the sink, on two
    // threads where that speed layer is on.
    template <NumberSink Sink, typename NextChunkOf>
    static void ScanText(Sink& sink, NextChunkOf next)
    {
        if (CurrentSpeedLayers().splitScan)
            Scan(CSplitScanner<Sink>(sink), next);
        else
            Scan(CNumberScanner<Sink>(sink), next);
    }

private:
    template <typename Scanner, typename NextChunkOf>
    static void Scan(Scanner&& scanner, NextChunkOf next)
    {
        for (auto chunk = next(); !chunk.empty() && !scanner.Ended(); chunk = next())
            scanner.Feed(chunk);
        scanner.Finish();
    }

    CByteReader m_source;
    CByteWriter m_dest;
    const std::string& m_strSourcePath;
    const std::string& m_strDestPath;
};
