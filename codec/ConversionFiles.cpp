#include "ConversionFiles.h"

#include "FilePlatform.h"
#include "QuotedName.h"
#include "Units.h"
#include "Utf8Path.h"

#include <cstring>
#include <filesystem>

std::string FileError(const char* action, const std::string& path, int errorNumber)
{
    return std::string(action) + " " + QuotedName(path) + ": " + std::strerror(errorNumber);
}

bool CConversionFiles::CheckUnits(int byteUnit, int lineUnit, std::string& error)
{
    if (byteUnit < kMinByteUnit || byteUnit > kMaxByteUnit) {
        error = "byte unit " + std::to_string(byteUnit) + " is not between " + std::to_string(kMinByteUnit) + " and "
            + std::to_string(kMaxByteUnit);
        return false;
    }
    if (lineUnit < 1) {
        error = "line unit " + std::to_string(lineUnit) + " is below 1";
        return false;
    }
    return true;
}

namespace {

// A name of a standard stream that was closed when the process started names
// whatever file took its number since; refused before any file is opened.
bool RefuseClosedStream(const std::string& path, std::string& error)
{
    static const char* const kStreams[] = {"standard input", "standard output", "standard error"};
    const int stream = FilePlatform::ClosedStandardStreamNamedBy(path);
    if (stream < 0)
        return false;
    error = std::string(kStreams[stream]) + " is closed";
    return true;
}

} // namespace

bool CConversionFiles::Open()
{
    if (RefuseClosedStream(m_strDestPath, m_strError) || !OpenSource(m_source, m_strSourcePath, m_strError))
        return false;
    std::error_code ignored;
    if (std::filesystem::equivalent(PathFromUtf8(m_strSourcePath), PathFromUtf8(m_strDestPath), ignored)) {
        m_strError = "source and destination are the same file " + QuotedName(m_strDestPath);
        return false;
    }
    if (!m_dest.Open(m_strDestPath)) {
        m_strError = FileError("cannot open destination file", m_strDestPath, m_dest.ErrorNumber());
        return false;
    }
    return true;
}

bool CConversionFiles::OpenSource(CByteReader& source, const std::string& path, std::string& error)
{
    if (RefuseClosedStream(path, error))
        return false;
    if (source.Open(path))
        return true;
    error = FileError("cannot open source file", path, source.ErrorNumber());
    return false;
}

bool CConversionFiles::ReadWhole(const CByteReader& source, const std::string& path, std::string& error)
{
    if (source.Cancelled()) {
        error = kCancelledError;
        return false;
    }
    // First: a file cut short under a mapped window is also a read failure.
    if (source.Changed()) {
        error = "source file " + QuotedName(path) + " changed while it was read";
        return false;
    }
    if (source.Failed()) {
        error = FileError("cannot read source file", path, source.ErrorNumber());
        return false;
    }
    return true;
}

bool CConversionFiles::Close()
{
    // Half a source must not replace a whole destination.
    if (!ReadWhole(m_source, m_strSourcePath, m_strError)) {
        m_dest.Discard();
        return false;
    }
    if (!m_dest.Close()) {
        m_strError = FileError("cannot write destination file", m_strDestPath, m_dest.ErrorNumber());
        return false;
    }
    return true;
}
