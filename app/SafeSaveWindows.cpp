#include "SafeSave.h"

#include <windows.h>

#include <random>
#include <string>

namespace {

constexpr int kNameAttempts = 100;
constexpr DWORD kMaxChunk = 1u << 30;

HANDLE Handle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

std::intptr_t Stored(HANDLE handle)
{
    return reinterpret_cast<std::intptr_t>(handle);
}

HANDLE CreateUniqueFile(const std::filesystem::path& target, std::filesystem::path& created)
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::filesystem::path candidate = target;
        candidate += L"." + std::to_wstring(random() % 1000000000) + L".tmp";
        const HANDLE file = CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            created = std::move(candidate);
            return file;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    return INVALID_HANDLE_VALUE;
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

CReplacementFile::CReplacementFile(const std::filesystem::path& target)
    : m_target(target)
    , m_handle(Stored(CreateUniqueFile(target, m_path)))
{
}

CReplacementFile::~CReplacementFile()
{
    Discard();
}

bool CReplacementFile::IsOpen() const
{
    return Handle(m_handle) != INVALID_HANDLE_VALUE;
}

bool CReplacementFile::Write(std::string_view bytes)
{
    while (IsOpen() && !m_bFailed && !bytes.empty()) {
        const DWORD chunk = bytes.size() < kMaxChunk ? static_cast<DWORD>(bytes.size()) : kMaxChunk;
        DWORD written = 0;
        if (!WriteFile(Handle(m_handle), bytes.data(), chunk, &written, nullptr) || written == 0)
            m_bFailed = true;
        else
            bytes.remove_prefix(written);
    }
    return IsOpen() && !m_bFailed;
}

bool CReplacementFile::Commit()
{
    if (!IsOpen() || m_bFailed)
        return false;
    const HANDLE file = Handle(m_handle);
    m_handle = Stored(INVALID_HANDLE_VALUE);
    // The attributes stand for the permission bits here (hidden, read-only).
    const DWORD attributes = GetFileAttributesW(m_target.c_str());
    const bool moved = CloseHandle(file)
        && MoveFileExW(m_path.c_str(), m_target.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!moved) {
        DeleteFileW(m_path.c_str());
        return false;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(m_target.c_str(), attributes);
    return true;
}

void CReplacementFile::Discard()
{
    if (!IsOpen())
        return;
    CloseHandle(Handle(m_handle));
    DeleteFileW(m_path.c_str());
    m_handle = Stored(INVALID_HANDLE_VALUE);
}
