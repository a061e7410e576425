#include "MorvexApp.h"

#include "CommandLine.h"
#include "ConsoleOutput.h"
#include "Help.h"
#include "StartChoice.h"
#include "Usage.h"

#include <sstream>
#include <string_view>
#include <vector>

CMorvexApp::CMorvexApp()
    : m_names(CAppNames::FromExecutablePath(ExecutablePath()))
{
}

bool CMorvexApp::StartUp(int argc, char* argv[], DialogMode runDialogs)
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const CStartChoice choice = ChooseStart(arguments);
    std::ostringstream errors;
    switch (choice.mode) {
    case EStartMode::Conversion: m_nExitCode = RunCommandLine(arguments, errors); break;
    case EStartMode::Help:
        WriteOutputText(HelpText());
        m_nExitCode = kExitSuccess;
        break;
    case EStartMode::Version:
        WriteOutputText(VersionText());
        m_nExitCode = kExitSuccess;
        break;
    case EStartMode::UsageError:
        PrintUsage(errors);
        m_nExitCode = kExitUsage;
        break;
    case EStartMode::Dialogs: m_nExitCode = runDialogs(m_names, choice.sourcePath, argc, argv); break;
    }
    WriteErrorText(errors.str());
    return false;
}
