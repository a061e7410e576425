#include "SaveLock.h"

#include <windows.h>

namespace {

HANDLE Handle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

std::intptr_t Stored(HANDLE handle)
{
    return reinterpret_cast<std::intptr_t>(handle);
}

} // namespace

CSaveLock::CSaveLock(const std::filesystem::path& file)
{
    // A folder cannot be locked here, so a lock file beside the settings
    // file stands for it.
    std::filesystem::path lockFile = file;
    lockFile += L".lock";
    const HANDLE handle = CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    m_handle = Stored(handle);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    OVERLAPPED whole = {};
    LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole);
}

CSaveLock::~CSaveLock()
{
    // Closing the handle releases the lock.
    if (Handle(m_handle) != INVALID_HANDLE_VALUE)
        CloseHandle(Handle(m_handle));
}
