#pragma once

#include <string>

struct CAppNames;

// Shows the main dialog, its source field preset to sourcePath, until the
// user closes it; returns the exit code.
int RunDialogMode(const CAppNames& names, const std::string& sourcePath, int argc, char* argv[]);
