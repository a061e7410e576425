#pragma once

#include <string_view>

#include <windows.h>

// The name a screen reader gives the control, where the system's
// accessibility services are at hand (COM initialised on this thread).
void SetWin32AccessibleName(HWND control, std::string_view name);
