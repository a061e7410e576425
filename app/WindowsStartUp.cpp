#include "WindowsStartUp.h"

#include "fileio/Utf8Path.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

void PrepareWindowsProcess()
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    _setmode(_fileno(stdout), _O_BINARY);
}

std::vector<std::string> Utf8Arguments(int argc, wchar_t* argv[])
{
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(Utf8FromWide(argv[i]));
    return arguments;
}
