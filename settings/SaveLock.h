#pragma once

#include <cstdint>
#include <filesystem>

// Serialises the saves into one folder, across threads and processes, for
// as long as it lives. Advisory, and taken as far as the file system allows:
// where it cannot be taken, the save goes on without it. One implementation
// per platform (SaveLockPosix.cpp, SaveLockWindows.cpp).
class CSaveLock
{
public:
    explicit CSaveLock(const std::filesystem::path& file);
    ~CSaveLock();
    CSaveLock(const CSaveLock&) = delete;
    CSaveLock& operator=(const CSaveLock&) = delete;

private:
    std::intptr_t m_handle;
};
