#pragma once

class CMorvexApp;

// Shows the main dialog until the user closes it; returns the exit code.
int RunDialogMode(CMorvexApp& app, int argc, char* argv[]);
