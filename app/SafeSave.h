#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

// The platform calls behind a safe save: one implementation per platform
// (SafeSavePosix.cpp, SafeSaveWindows.cpp).

// Serialises the saves into one folder, across threads and processes, for
// as long as it lives. Advisory, and taken as far as the file system allows:
// where it cannot be taken, the save goes on without it.
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

// A new file under a unique name beside the target, which takes the target's
// place only when committed; otherwise it is removed again.
class CReplacementFile
{
public:
    explicit CReplacementFile(const std::filesystem::path& target);
    ~CReplacementFile();
    CReplacementFile(const CReplacementFile&) = delete;
    CReplacementFile& operator=(const CReplacementFile&) = delete;

    bool IsOpen() const;
    bool Write(std::string_view bytes);

    // Gives the new file the target's permissions (and owner, where the
    // process may), closes it and moves it over the target in one step.
    bool Commit();

private:
    void Discard();

    std::filesystem::path m_target;
    std::filesystem::path m_path;
    std::intptr_t m_handle;
    bool m_bFailed = false;
};
