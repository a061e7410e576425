#include "fileio/Utf8Path.h"

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstring>

std::wstring WideFromUtf8(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string Utf8FromWide(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    std::string utf8(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8;
}

std::FILE* OpenFile(const std::string& utf8Path, const char* mode)
{
    // The name of standard input elsewhere, so that a pipe works the same on
    // every platform. A copy of the descriptor, in binary mode: closing the
    // file leaves the process's own standard input alone.
    if (utf8Path == "/dev/stdin" && std::strchr(mode, 'r')) {
        const int input = _dup(_fileno(stdin));
        if (input < 0)
            return nullptr;
        _setmode(input, _O_BINARY);
        return _fdopen(input, mode);
    }
    const std::wstring path = WideFromUtf8(utf8Path);
    std::FILE* file = _wfopen(path.c_str(), WideFromUtf8(mode).c_str());
    // The C runtime says "Permission denied" for a folder; name the real reason.
    if (!file && errno == EACCES) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            errno = EISDIR;
    }
    return file;
}

std::filesystem::path PathFromUtf8(const std::string& utf8Path)
{
    return std::filesystem::path(WideFromUtf8(utf8Path));
}

#else

#include "fileio/FilePlatform.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace {

// The descriptor as a C stream; closed when it cannot be one.
std::FILE* StreamOf(int descriptor, const char* mode)
{
    std::FILE* file = descriptor >= 0 ? fdopen(descriptor, mode) : nullptr;
    if (!file && descriptor >= 0)
        close(descriptor);
    return file;
}

} // namespace

std::FILE* OpenFile(const std::string& utf8Path, const char* mode)
{
    if (!std::strchr(mode, 'r'))
        return std::fopen(utf8Path.c_str(), mode);
    // Standard input is the descriptor itself, read from where it stands (as
    // a caller that read a header leaves it), whatever it is: reopening its
    // name would start a file over, and fails for a socket.
    if (utf8Path == "/dev/stdin")
        return StreamOf(fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0), mode);
    // A source is opened as a destination is: no link another user planted is followed.
    return StreamOf(FilePlatform::OpenToRead(utf8Path), mode);
}

std::filesystem::path PathFromUtf8(const std::string& utf8Path)
{
    return std::filesystem::path(utf8Path);
}

#endif

std::string Utf8FromPath(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}
