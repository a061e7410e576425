#include "ErrorOutput.h"

#include <cstdio>

#ifdef _WIN32
#include "Utf8Path.h"

#include <windows.h>

namespace {

// False when standard error is no console (redirected, or none at all).
bool WriteToConsole(std::string_view utf8)
{
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD consoleMode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !GetConsoleMode(handle, &consoleMode))
        return false;
    const std::wstring wide = WideFromUtf8(utf8);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return true;
}

} // namespace
#endif

void WriteErrorText(std::string_view utf8)
{
#ifdef _WIN32
    if (WriteToConsole(utf8))
        return;
#endif
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    std::fflush(stderr);
}
