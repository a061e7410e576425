#pragma once

#include "AppNames.h"

#include <string>

// The application: its names, and the choice between one command-line
// conversion, the help or version, and the dialogs.
class CMorvexApp
{
public:
    CMorvexApp();

    // Shows the dialogs, with the source field preset to sourcePath, until
    // the user closes them; returns the exit code. The executable that has
    // them passes them in.
    using DialogMode = int (*)(const CAppNames& names, const std::string& sourcePath, int argc, char* argv[]);

    // Runs the mode the arguments select. Always false: the program runs no
    // event loop of its own beyond the dialogs' modal ones.
    bool StartUp(int argc, char* argv[], DialogMode runDialogs);

    int ExitCode() const { return m_nExitCode; }
    const CAppNames& Names() const { return m_names; }

private:
    CAppNames m_names;
    int m_nExitCode = 0;
};
