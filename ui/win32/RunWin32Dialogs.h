#pragma once

struct CAppNames;

// Shows the main dialog in Win32 until the user closes it; returns the exit code.
int RunWin32Dialogs(const CAppNames& names);
