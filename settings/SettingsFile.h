#pragma once

#include <cstdint>
#include <filesystem>
#include <streambuf>

// The settings file opened for reading, never blocking: only a regular file
// is read at all, so that a FIFO, device or folder in its place reads as
// nothing rather than stalling the dialogs. One implementation per platform
// (SettingsFilePosix.cpp, SettingsFileWindows.cpp); a read error throws, as
// a file buffer's does, which leaves the stream bad.
class CSettingsFile : public std::streambuf
{
public:
    enum class EState {
        Regular,   // open, to be read
        Missing,   // no file by that name
        Unusable,  // not a regular file, or it cannot be opened
    };

    explicit CSettingsFile(const std::filesystem::path& file);
    ~CSettingsFile() override;
    CSettingsFile(const CSettingsFile&) = delete;
    CSettingsFile& operator=(const CSettingsFile&) = delete;

    EState State() const { return m_state; }

protected:
    int_type underflow() override;

private:
    // Reads what comes next into the buffer: the count, 0 at the end, or -1.
    long ReadSome();

    std::intptr_t m_handle;
    EState m_state = EState::Unusable;
    char m_buffer[4096];
};

// The name a save replaces: the file at the end of a Windows symbolic link,
// which FilePlatform::FollowLinks leaves to the file system, so that the
// link is kept; elsewhere the name itself.
std::filesystem::path ReplacedName(const std::filesystem::path& target);

// Whether the user may change the file (or make it, while it does not
// exist): a read-only file stays as it is, though a new one could take its
// place.
bool MayChange(const std::filesystem::path& file);
