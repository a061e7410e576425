#include "SaveLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr std::intptr_t kNoHandle = -1;

int Descriptor(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

} // namespace

CSaveLock::CSaveLock(const std::filesystem::path& file)
    : m_handle(open(file.parent_path().empty() ? "." : file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    // The folder is locked rather than a file in it: the settings file is
    // replaced by every save, and a lock file would stay behind.
    if (m_handle == kNoHandle)
        return;
    while (flock(Descriptor(m_handle), LOCK_EX) != 0 && errno == EINTR) {}
}

CSaveLock::~CSaveLock()
{
    if (m_handle != kNoHandle)
        close(Descriptor(m_handle));
}
