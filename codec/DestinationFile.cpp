#include "DestinationFile.h"

#include "FilePlatform.h"
#include "PendingFiles.h"

#include <cerrno>
#include <cstdint>
#include <random>
#include <utility>

using namespace FilePlatform;

namespace {

constexpr int kNameAttempts = 16;

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// A hidden name in the folder that nothing else is likely to use; a clash
// is caught by the exclusive create and another name tried.
std::string TemporaryName(const std::string& folder)
{
    static thread_local std::mt19937_64 random(std::random_device{}());
    static const char kDigits[] = "0123456789abcdef";
    std::string name = folder + kSeparator + ".morvex-";
    for (std::uint64_t bits = random(), n = 0; n < 12; ++n, bits >>= 4)
        name += kDigits[bits & 15];
    return name + ".tmp";
}

} // namespace

CDestinationFile::~CDestinationFile()
{
    Discard();
}

bool CDestinationFile::Open(const std::string& path)
{
    // The caller's stream, often holding earlier output or opened for
    // appending: reopening it by name would truncate the file behind it.
    if (IsStandardOutput(path)) {
        m_pFile = stdout;
        m_kind = Kind::StandardOutput;
        return true;
    }
    // No name names no file; found out before any conversion runs.
    if (path.empty())
        return Fail(ENOENT);
    // A linked destination gets its target replaced and keeps the link.
    m_strTarget = FollowLinks(path);
    int error = 0;
    switch (PlacementOf(m_strTarget, error)) {
    case EPlacement::Refused:
        return Fail(error);
    case EPlacement::InPlace:
        return OpenInPlace();
    case EPlacement::Replace:
        break;
    }
    // Where no temporary file can be made, the destination itself is written.
    return OpenTemporary() || OpenInPlace();
}

bool CDestinationFile::OpenInPlace()
{
    int error = 0;
    m_pFile = OpenTruncating(m_strTarget, error);
    m_kind = Kind::InPlace;
    return m_pFile || Fail(error);
}

bool CDestinationFile::OpenTemporary()
{
    const std::string folder = FolderOf(m_strTarget);
    if ((m_pFile = CreateUnnamed(folder))) {
        m_kind = Kind::Unnamed;
        return true;
    }
    int error = EEXIST;
    for (int attempt = 0; attempt < kNameAttempts && error == EEXIST; ++attempt) {
        std::string name = TemporaryName(folder);
        // Registered before it exists, so that no interruption can miss it.
        const bool registered = RegisterPendingFile(name);
        if ((m_pFile = CreateExclusive(name, error))) {
            m_strTemporary = std::move(name);
            m_kind = Kind::Named;
            return true;
        }
        if (registered)
            ReleasePendingFile(name);
    }
    return false;
}

// An unnamed file gets a temporary name first: only a rename can replace
// an existing file in one step.
bool CDestinationFile::NameTemporary()
{
    const std::string folder = FolderOf(m_strTarget);
    int error = EEXIST;
    for (int attempt = 0; attempt < kNameAttempts && error == EEXIST; ++attempt) {
        std::string name = TemporaryName(folder);
        const bool registered = RegisterPendingFile(name);
        if (Name(m_pFile, name, error)) {
            m_strTemporary = std::move(name);
            return true;
        }
        if (registered)
            ReleasePendingFile(name);
    }
    return Fail(error);
}

bool CDestinationFile::Fail(int errorNumber)
{
    m_nError = errorNumber != 0 ? errorNumber : EIO;
    return false;
}

bool CDestinationFile::Commit()
{
    if (!m_pFile)
        return Fail(m_nError);
    if (m_kind == Kind::StandardOutput) {
        m_pFile = nullptr;
        return std::fflush(stdout) == 0 || Fail(errno);
    }
    if (m_kind == Kind::InPlace) {
        std::FILE* file = std::exchange(m_pFile, nullptr);
        return std::fclose(file) == 0 || Fail(errno);
    }
    CopyOwnerAndMode(m_pFile, m_strTarget);
    if (m_kind == Kind::Unnamed && !NameTemporary()) {
        Discard();
        return false;
    }
    std::FILE* file = std::exchange(m_pFile, nullptr);
    int error = 0;
    if (std::fclose(file) != 0) {
        error = errno;
    } else if (Replace(m_strTemporary, m_strTarget, error)) {
        ReleasePendingFile(m_strTemporary);
        m_strTemporary.clear();
        return true;
    }
    Discard();
    return Fail(error);
}

void CDestinationFile::Discard()
{
    if (m_pFile && m_kind != Kind::StandardOutput)
        std::fclose(m_pFile);
    m_pFile = nullptr;
    if (!m_strTemporary.empty()) {
        Remove(m_strTemporary);
        ReleasePendingFile(m_strTemporary);
        m_strTemporary.clear();
    }
}
