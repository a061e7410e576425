#pragma once

#include "fileio/ByteStreams.h"
#include "codec/ConversionResult.h"
#include "textarray/ByteUnit.h"
#include "textarray/SpeedLayers.h"

#include <cstdint>
#include <optional>
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

    // The units as the command line and the dialogs give them: the byte unit
    // as the engine takes it, or none and why the units are refused.
    struct CUnits
    {
        std::optional<CByteUnit> byteUnit;
        CConversionResult refused;
    };
    static CUnits CheckUnits(int byteUnit, int lineUnit);

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

    // After Open: the size of a regular source file, as its name gives it;
    // none for a pipe, a device or a socket. Another file put in its place
    // since is caught at the end, when the source is found changed.
    std::optional<std::uint64_t> SourceSize() const;

    // Whether the source was read so far without a fault or cancel.
    CConversionResult SourceReadWhole() const { return ReadWhole(m_source, m_strSourcePath); }

    CByteWriter& Dest() { return m_dest; }

private:
    CByteReader m_source;
    CByteWriter m_dest;
    const std::string& m_strSourcePath;
    const std::string& m_strDestPath;
};
