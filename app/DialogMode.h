#pragma once

struct CAppNames;

// Shows the main dialog until the user closes it; returns the exit code.
int RunDialogMode(const CAppNames& names, int argc, char* argv[]);
