#include "Win32SystemText.h"

#include "Win32Text.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace {

// The system error the file calls report for the error number; none for a
// number that stands for many (EIO for any other failure).
std::optional<DWORD> SystemErrorOf(int number)
{
    switch (number) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_DIRECTORY;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EACCES: return ERROR_ACCESS_DENIED;
    case EROFS: return ERROR_WRITE_PROTECT;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENOSPC: return ERROR_DISK_FULL;
    case EPIPE: return ERROR_BROKEN_PIPE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EMFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case EBADF: return ERROR_INVALID_HANDLE;
    default: return std::nullopt;
    }
}

// The system's message in the user's language, without its line end. No
// language asked: the thread's, then the user's, then any the system has.
std::optional<std::string> SystemMessage(DWORD error)
{
    wchar_t* buffer = nullptr;
    const DWORD length
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0)
        return std::nullopt;
    std::wstring_view message(buffer, length);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n'))
        message.remove_suffix(1);
    std::string text = ToUtf8(message);
    LocalFree(buffer);
    if (text.empty())
        return std::nullopt;
    return text;
}

} // namespace

std::string UserLanguageSystemText(int errorNumber)
{
    const auto error = SystemErrorOf(errorNumber);
    const auto message = error ? SystemMessage(*error) : std::nullopt;
    return message ? *message : std::string(std::strerror(errorNumber));
}
