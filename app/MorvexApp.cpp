#include "MorvexApp.h"

#include "CommandLine.h"
#include "DialogMode.h"

#include <iostream>

CMorvexApp::CMorvexApp()
    : m_names(CAppNames::FromExecutablePath(ExecutablePath()))
{
}

bool CMorvexApp::StartUp(int argc, char* argv[])
{
    if (argc == 4)
        m_nExitCode = RunCommandLine(argv[1], argv[2], argv[3], std::cerr);
    else
        m_nExitCode = RunDialogMode(m_names, argc, argv);
    return false;
}
