#include "ConsoleOutput.h"

#include <cstdio>

#ifdef _WIN32
#include "fileio/Utf8Path.h"

#include <windows.h>
#endif

namespace {

#ifdef _WIN32
// False when the stream is no console (redirected, or none at all).
bool WriteToConsole(DWORD stream, std::string_view utf8)
{
    const HANDLE handle = GetStdHandle(stream);
    DWORD consoleMode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !GetConsoleMode(handle, &consoleMode))
        return false;
    const std::wstring wide = WideFromUtf8(utf8);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return true;
}
#endif

void WriteText(std::FILE* stream, std::string_view utf8)
{
#ifdef _WIN32
    if (WriteToConsole(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE, utf8))
        return;
#endif
    // A message that cannot be shown has nowhere else to go.
    (void)std::fwrite(utf8.data(), 1, utf8.size(), stream);
    (void)std::fflush(stream);
}

} // namespace

void WriteOutputText(std::string_view utf8)
{
    WriteText(stdout, utf8);
}

void WriteErrorText(std::string_view utf8)
{
    WriteText(stderr, utf8);
}
