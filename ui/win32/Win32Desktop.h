#pragma once

#include <string>

#include <windows.h>

// What every window of the program shares: the module holding the
// resources, and the program's name as the caption of its message boxes.
struct CWin32Desktop
{
    HINSTANCE instance;
    std::wstring applicationName;
};
