#include "MorvexApp.h"

#include "CommandLine.h"
#include "ErrorOutput.h"

#include <sstream>

CMorvexApp::CMorvexApp()
    : m_names(CAppNames::FromExecutablePath(ExecutablePath()))
{
}

bool CMorvexApp::StartUp(int argc, char* argv[], DialogMode runDialogs)
{
    if (argc == 4) {
        std::ostringstream errors;
        m_nExitCode = RunCommandLine(argv[1], argv[2], argv[3], errors);
        WriteErrorText(errors.str());
    } else {
        m_nExitCode = runDialogs(m_names, argc, argv);
    }
    return false;
}
