#include "CommandLine.h"
#include "DialogMode.h"
#include "Usage.h"

#include <iostream>

// A build without the dialogs: anything but a full command line is a usage error.
int RunDialogMode(const CAppNames& /*names*/, const std::string& /*sourcePath*/, int /*argc*/, char* /*argv*/[])
{
    PrintUsage(std::cerr);
    return kExitUsage;
}
