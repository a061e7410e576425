#include "CommandLine.h"
#include "DialogMode.h"

#include <iostream>

// A build without the dialogs: anything but a full command line is a usage error.
int RunDialogMode(CMorvexApp& /*app*/, int /*argc*/, char* /*argv*/[])
{
    PrintUsage(std::cerr);
    return kExitUsage;
}
