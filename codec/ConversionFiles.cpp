#include "ConversionFiles.h"

#include "fileio/FilePlatform.h"
#include "fileio/QuotedName.h"

#include <cstring>

namespace {

// "<action> '<path>': <reason of the error number>", the form of every file error.
CConversionResult FileFailure(EFailure failure, const char* action, const std::string& path, int errorNumber)
{
    return CConversionResult::Failed(failure, path, errorNumber,
        std::string(action) + " " + QuotedFileName(path) + ": " + std::strerror(errorNumber));
}

// A name of a standard stream that was closed when the process started names
// whatever file took its number since; refused before any file is opened.
CConversionResult RefuseClosedStream(const std::string& path)
{
    struct CStream
    {
        EFailure failure;
        const char* name;
    };
    static const CStream kStreams[] = {
        {EFailure::StandardInputClosed, "standard input"},
        {EFailure::StandardOutputClosed, "standard output"},
        {EFailure::StandardErrorClosed, "standard error"},
    };
    const int stream = FilePlatform::ClosedStandardStreamNamedBy(path);
    if (stream < 0)
        return {};
    return CConversionResult::Failed(
        kStreams[stream].failure, path, 0, std::string(kStreams[stream].name) + " is closed");
}

} // namespace

CConversionFiles::CUnits CConversionFiles::CheckUnits(int byteUnit, int lineUnit)
{
    const auto unit = CByteUnit::From(byteUnit);
    if (!unit)
        return {std::nullopt,
            CConversionResult::Failed(EFailure::BadByteUnit, {}, 0,
                "byte unit " + std::to_string(byteUnit) + " is not between " + std::to_string(CByteUnit::kMin) + " and "
                    + std::to_string(CByteUnit::kMax))};
    if (lineUnit < 1)
        return {std::nullopt,
            CConversionResult::Failed(
                EFailure::BadLineUnit, {}, 0, "line unit " + std::to_string(lineUnit) + " is below 1")};
    return {unit, {}};
}

CConversionResult CConversionFiles::Open()
{
    if (auto refused = RefuseClosedStream(m_strDestPath); !refused)
        return refused;
    if (auto opened = OpenSource(m_source, m_strSourcePath); !opened)
        return opened;
    if (FilePlatform::SameFile(m_strSourcePath, m_strDestPath))
        return CConversionResult::Failed(EFailure::SameFile, m_strDestPath, 0,
            "source and destination are the same file " + QuotedFileName(m_strDestPath));
    if (!m_dest.Open(m_strDestPath))
        return FileFailure(
            EFailure::CannotOpenDest, "cannot open destination file", m_strDestPath, m_dest.ErrorNumber());
    return {};
}

std::optional<std::uint64_t> CConversionFiles::SourceSize() const
{
    FilePlatform::CFileStamp stamp;
    if (!FilePlatform::StampOf(m_strSourcePath, stamp) || !stamp.regular)
        return std::nullopt;
    return stamp.size;
}

CConversionResult CConversionFiles::OpenSource(CByteReader& source, const std::string& path)
{
    if (auto refused = RefuseClosedStream(path); !refused)
        return refused;
    if (source.Open(path))
        return {};
    return FileFailure(EFailure::CannotOpenSource, "cannot open source file", path, source.ErrorNumber());
}

CConversionResult CConversionFiles::ReadWhole(const CByteReader& source, const std::string& path)
{
    if (source.Cancelled())
        return CConversionResult::Cancelled();
    // First: a file cut short under a mapped window is also a read failure.
    if (source.Changed())
        return CConversionResult::Failed(
            EFailure::SourceChanged, path, 0, "source file " + QuotedFileName(path) + " changed while it was read");
    if (source.Failed())
        return FileFailure(EFailure::CannotReadSource, "cannot read source file", path, source.ErrorNumber());
    return {};
}

CConversionResult CConversionFiles::Close()
{
    // Half a source must not replace a whole destination.
    if (auto read = ReadWhole(m_source, m_strSourcePath); !read) {
        m_dest.Discard();
        return read;
    }
    if (m_dest.Close())
        return {};
    if (m_dest.Moved())
        return CConversionResult::Failed(EFailure::DestChanged, m_strDestPath, 0,
            "destination file " + QuotedName(m_strDestPath) + " was replaced by another file during the conversion");
    return FileFailure(EFailure::CannotWriteDest, "cannot write destination file", m_strDestPath, m_dest.ErrorNumber());
}
