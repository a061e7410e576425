#include "SaveLock.h"

#include <windows.h>

#include <cwctype>
#include <functional>
#include <string>

namespace {

HANDLE Handle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// One name per settings file, whatever its spelling's case; a named mutex
// rather than a lock file, which would stay behind.
std::wstring MutexName(const std::filesystem::path& file)
{
    std::wstring path = std::filesystem::absolute(file).lexically_normal().wstring();
    for (wchar_t& c : path)
        c = static_cast<wchar_t>(std::towlower(c));
    return L"Local\\morvex-settings-" + std::to_wstring(std::hash<std::wstring>{}(path));
}

} // namespace

CSaveLock::CSaveLock(const std::filesystem::path& file)
    : m_handle(reinterpret_cast<std::intptr_t>(CreateMutexW(nullptr, FALSE, MutexName(file).c_str())))
{
    // A mutex left by a process that died is still handed over (WAIT_ABANDONED).
    if (Handle(m_handle))
        WaitForSingleObject(Handle(m_handle), INFINITE);
}

CSaveLock::~CSaveLock()
{
    if (Handle(m_handle)) {
        ReleaseMutex(Handle(m_handle));
        CloseHandle(Handle(m_handle));
    }
}
