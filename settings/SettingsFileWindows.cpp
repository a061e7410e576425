#include "SettingsFile.h"

#include <windows.h>

#include <string>

namespace {

HANDLE Handle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

bool Missing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace

CSettingsFile::CSettingsFile(const std::filesystem::path& file)
    : m_handle(reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE))
{
    // Shared for deleting too, so that a save may replace the file while it
    // is read. A folder does not open without backup semantics.
    const HANDLE handle
        = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        m_state = Missing(GetLastError()) ? EState::Missing : EState::Unusable;
        return;
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    // A pipe or a device would wait in ReadFile for what may never come.
    if (GetFileType(handle) == FILE_TYPE_DISK)
        m_state = EState::Regular;
}

CSettingsFile::~CSettingsFile()
{
    if (Handle(m_handle) != INVALID_HANDLE_VALUE)
        CloseHandle(Handle(m_handle));
}

long CSettingsFile::ReadSome()
{
    DWORD got = 0;
    return ReadFile(Handle(m_handle), m_buffer, sizeof m_buffer, &got, nullptr) ? static_cast<long>(got) : -1;
}

std::filesystem::path ReplacedName(const std::filesystem::path& target)
{
    // A replacement would take a link's own place; its target's keeps it.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return target;
    const HANDLE handle = CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return target;
    std::wstring name(MAX_PATH, L'\0');
    DWORD size = GetFinalPathNameByHandleW(handle, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
    if (size >= name.size()) {
        name.resize(size);
        size = GetFinalPathNameByHandleW(handle, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
    }
    CloseHandle(handle);
    if (size == 0 || size >= name.size())
        return target;
    name.resize(size);
    return name;
}

bool MayChange(const std::filesystem::path& file)
{
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Missing(GetLastError());
    return (attributes & FILE_ATTRIBUTE_READONLY) == 0;
}
