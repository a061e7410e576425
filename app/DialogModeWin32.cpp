#include "DialogMode.h"

#include "RunWin32Dialogs.h"

// On Windows the dialogs are part of the program: user32 is always there.
int RunDialogMode(const CAppNames& names, const std::string& sourcePath, int /*argc*/, char* /*argv*/[])
{
    return RunWin32Dialogs(names, sourcePath);
}
