#include "SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr std::intptr_t kNoHandle = -1;

bool Missing(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

} // namespace

CSettingsFile::CSettingsFile(const std::filesystem::path& file)
    : m_handle(kNoHandle)
{
    // Looked at before it is opened, so that no device is opened at all.
    struct stat status{};
    if (stat(file.c_str(), &status) != 0) {
        m_state = Missing(errno) ? EState::Missing : EState::Unusable;
        return;
    }
    if (!S_ISREG(status.st_mode))
        return;
    // It may have been swapped for a FIFO since: opening one without waiting
    // for a writer, and looking again at what was opened, never blocks.
    const int descriptor = open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        m_state = Missing(errno) ? EState::Missing : EState::Unusable;
        return;
    }
    m_handle = descriptor;
    if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode))
        m_state = EState::Regular;
}

CSettingsFile::~CSettingsFile()
{
    if (m_handle != kNoHandle)
        close(static_cast<int>(m_handle));
}

long CSettingsFile::ReadSome()
{
    ssize_t got = 0;
    do {
        got = read(static_cast<int>(m_handle), m_buffer, sizeof m_buffer);
    } while (got < 0 && errno == EINTR);
    return static_cast<long>(got);
}

std::filesystem::path ReplacedName(const std::filesystem::path& target)
{
    return target;
}

bool MayChange(const std::filesystem::path& file)
{
    return access(file.c_str(), W_OK) == 0 || errno == ENOENT;
}
