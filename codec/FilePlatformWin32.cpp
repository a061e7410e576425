#include "FilePlatform.h"

#include "Utf8Path.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>

namespace FilePlatform {

namespace {

int ErrnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
}

// What the file system knows of an existing file; false when it does not exist.
bool Inspect(const std::string& path, BY_HANDLE_FILE_INFORMATION& info, DWORD& type)
{
    // No access asked: this neither locks nor changes the file.
    const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    type = GetFileType(file);
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return known || type != FILE_TYPE_DISK;
}

std::FILE* StreamOf(HANDLE file, int& error)
{
    if (file == INVALID_HANDLE_VALUE) {
        error = ErrnoOf(GetLastError());
        return nullptr;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(file), _O_BINARY | _O_WRONLY);
    std::FILE* stream = descriptor < 0 ? nullptr : _fdopen(descriptor, "wb");
    if (!stream) {
        error = EMFILE;
        descriptor < 0 ? CloseHandle(file) : _close(descriptor);
        return nullptr;
    }
    std::setvbuf(stream, nullptr, _IONBF, 0);
    return stream;
}

} // namespace

bool IsStandardOutput(const std::string& path)
{
    // Windows has no such file: the name stands for standard output itself.
    if (path == "/dev/stdout")
        return true;
    BY_HANDLE_FILE_INFORMATION out{};
    BY_HANDLE_FILE_INFORMATION dest{};
    DWORD type = 0;
    return GetFileInformationByHandle(GetStdHandle(STD_OUTPUT_HANDLE), &out) && Inspect(path, dest, type)
        && type == FILE_TYPE_DISK && out.dwVolumeSerialNumber == dest.dwVolumeSerialNumber
        && out.nFileIndexHigh == dest.nFileIndexHigh && out.nFileIndexLow == dest.nFileIndexLow;
}

// A link is written through in place instead (below): the file system resolves it.
std::string FollowLinks(const std::string& path)
{
    return path;
}

EPlacement PlacementOf(const std::string& target, int& error)
{
    BY_HANDLE_FILE_INFORMATION info{};
    DWORD type = FILE_TYPE_DISK;
    if (!Inspect(target, info, type))
        return EPlacement::Replace;
    constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    if (type != FILE_TYPE_DISK || (info.dwFileAttributes & kNotPlain) != 0 || info.nNumberOfLinks > 1)
        return EPlacement::InPlace;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
        error = EACCES;
        return EPlacement::Refused;
    }
    return EPlacement::Replace;
}

std::string FolderOf(const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(WideFromUtf8(path)).parent_path();
    if (folder.empty())
        return ".";
    return Utf8FromWide(folder.native());
}

std::FILE* OpenTruncating(const std::string& path, int& error)
{
    const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    return StreamOf(file, error);
}

std::FILE* CreateExclusive(const std::string& path, int& error)
{
    const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    return StreamOf(file, error);
}

std::FILE* CreateUnnamed(const std::string&)
{
    return nullptr;
}

bool Name(std::FILE*, const std::string&, int& error)
{
    error = ENOSYS;
    return false;
}

// ReplaceFileW carries the old file's attributes and security over itself.
void CopyOwnerAndMode(std::FILE*, const std::string&)
{
}

bool Replace(const std::string& from, const std::string& to, int& error)
{
    const std::wstring source = WideFromUtf8(from);
    const std::wstring dest = WideFromUtf8(to);
    if (ReplaceFileW(dest.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
        || MoveFileExW(source.c_str(), dest.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    error = ErrnoOf(GetLastError());
    return false;
}

void Remove(const std::string& path)
{
    DeleteFileW(WideFromUtf8(path).c_str());
}

// Sources are read into buffers here; nothing is ever mapped.
std::size_t ViewGranularity()
{
    return 0;
}

bool MapView(std::FILE*, std::uint64_t, std::size_t, CFileView&, int& error)
{
    error = ENOSYS;
    return false;
}

bool UnmapView(std::FILE*, const CFileView&)
{
    return true;
}

} // namespace FilePlatform
