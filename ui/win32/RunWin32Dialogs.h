#pragma once

struct CAppNames;

// Shows the main dialog in Win32 until the user closes it; returns the exit
// code. The program's arguments are not used by the dialogs.
int RunWin32Dialogs(const CAppNames& names, int argc, wchar_t* argv[]);
