#include "SafeSave.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::intptr_t kNoHandle = -1;
constexpr int kNameAttempts = 100;

int Descriptor(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

// Like mkstemp, but created with the mode the user's umask gives a new file
// (0666 & ~umask) rather than 0600, as the settings file always had.
int CreateUniqueFile(const std::filesystem::path& target, std::filesystem::path& created)
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::filesystem::path candidate = target;
        candidate += '.';
        candidate += std::to_string(random() % 1000000000);
        candidate += ".tmp";
        const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            created = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

} // namespace

CSaveLock::CSaveLock(const std::filesystem::path& file)
    : m_handle(open(file.parent_path().empty() ? "." : file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    // The folder is locked rather than a file in it: the settings file is
    // replaced by every save, and a lock file would stay behind.
    if (m_handle == kNoHandle)
        return;
    while (flock(Descriptor(m_handle), LOCK_EX) != 0 && errno == EINTR) {
    }
}

CSaveLock::~CSaveLock()
{
    if (m_handle != kNoHandle)
        close(Descriptor(m_handle));
}

CReplacementFile::CReplacementFile(const std::filesystem::path& target)
    : m_target(target)
    , m_handle(CreateUniqueFile(target, m_path))
{
}

CReplacementFile::~CReplacementFile()
{
    Discard();
}

bool CReplacementFile::IsOpen() const
{
    return m_handle != kNoHandle;
}

bool CReplacementFile::Write(std::string_view bytes)
{
    while (IsOpen() && !m_bFailed && !bytes.empty()) {
        const ssize_t written = write(Descriptor(m_handle), bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            m_bFailed = true;
        else
            bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return IsOpen() && !m_bFailed;
}

bool CReplacementFile::Commit()
{
    if (!IsOpen() || m_bFailed)
        return false;
    const int fd = Descriptor(m_handle);
    struct stat old;
    if (stat(m_target.c_str(), &old) == 0) {
        // Only root may give a file away; for anyone else the new file
        // simply stays their own.
        const bool otherOwner = old.st_uid != geteuid() || old.st_gid != getegid();
        if (otherOwner && fchown(fd, old.st_uid, old.st_gid) != 0) {
        }
        if (fchmod(fd, old.st_mode & 07777) != 0)
            return false;
    }
    m_handle = kNoHandle;
    if (close(fd) != 0 || rename(m_path.c_str(), m_target.c_str()) != 0) {
        unlink(m_path.c_str());
        return false;
    }
    return true;
}

void CReplacementFile::Discard()
{
    if (!IsOpen())
        return;
    close(Descriptor(m_handle));
    unlink(m_path.c_str());
    m_handle = kNoHandle;
}
