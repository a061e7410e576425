#pragma once

#include <string>

struct CAppNames;

// Shows the main dialog in Win32, its source field preset to sourcePath,
// until the user closes it; returns the exit code.
int RunWin32Dialogs(const CAppNames& names, const std::string& sourcePath);
