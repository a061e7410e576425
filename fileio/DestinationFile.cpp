#include "fileio/DestinationFile.h"

#include "fileio/Utf8Path.h"

#include <cerrno>
#include <filesystem>
#include <utility>

using namespace FilePlatform;

CDestinationFile::~CDestinationFile()
{
    Discard();
}

bool CDestinationFile::Open(const std::string& path)
{
    // No name names no file; found out before any conversion runs.
    if (path.empty())
        return Fail(ENOENT);
    // Reopening the caller's file by name would truncate what it holds, or
    // lose what the caller writes into it afterwards.
    if ((m_file = InheritedFileOf(path)) != kNoFile) {
        m_kind = Kind::Inherited;
        // The caller's file named as a file is the destination: its old tail
        // must not stay behind the new content. A stream named as such is
        // only written into, as any program writes into its output.
        m_bEndsHere = !NamesStream(path);
        return true;
    }
    // A linked destination gets its target replaced and keeps the link.
    std::string target;
    int error = 0;
    if (!FollowLinks(path, target, error))
        return Fail(error);
    switch (PlacementOf(target, error)) {
    case EPlacement::Refused: return Fail(error);
    case EPlacement::InPlace: return OpenInPlace(target);
    case EPlacement::Replace: break;
    }
    m_kind = Kind::Replacement;
    if (m_replacement.Create(target, error)) {
        m_file = m_replacement.File();
        return true;
    }
    // A folder the user may not make files in, where the system cannot tell
    // beforehand, is found out here, still before the conversion: an existing
    // file is then written in place. Nothing else falls back so: on a full
    // disk, writing in place would destroy the old file.
    std::error_code noFile;
    if ((error == EACCES || error == EPERM) && std::filesystem::is_regular_file(PathFromUtf8(target), noFile))
        return OpenInPlace(target);
    return Fail(error);
}

bool CDestinationFile::OpenInPlace(const std::string& target)
{
    int error = 0;
    m_kind = Kind::InPlace;
    m_file = OpenTruncating(target, error);
    return IsOpen() || Fail(error);
}

bool CDestinationFile::Fail(int errorNumber)
{
    m_nError = errorNumber != 0 ? errorNumber : EIO;
    return false;
}

bool CDestinationFile::Commit()
{
    if (!IsOpen())
        return Fail(m_nError);
    const NativeFile file = std::exchange(m_file, kNoFile);
    int error = 0;
    switch (m_kind) {
    case Kind::Inherited: return !m_bEndsHere || EndAtOffset(file, error) || Fail(error);
    case Kind::InPlace: return Close(file, error) || Fail(error);
    case Kind::Replacement: break;
    }
    return m_replacement.Commit(error) || Fail(error);
}

void CDestinationFile::Discard()
{
    const NativeFile file = std::exchange(m_file, kNoFile);
    int ignored = 0;
    if (file != kNoFile && m_kind == Kind::InPlace)
        Close(file, ignored);
    m_replacement.Discard();
}
