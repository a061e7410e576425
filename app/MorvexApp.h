#pragma once

#include "AppNames.h"

// The application: its names, and the choice between one command-line
// conversion and the dialogs.
class CMorvexApp
{
public:
    CMorvexApp();

    // Runs the mode the arguments select. Always false: the program runs no
    // event loop of its own beyond the dialogs' modal ones.
    bool StartUp(int argc, char* argv[]);

    int ExitCode() const { return m_nExitCode; }
    const CAppNames& Names() const { return m_names; }

private:
    CAppNames m_names;
    int m_nExitCode = 0;
};
