#include "DialogMode.h"
#include "fileio/FilePlatform.h"
#include "MorvexApp.h"

#ifdef _WIN32
#include "WindowsStartUp.h"

// Built with -municode: the arguments arrive as UTF-16 whatever the code page.
// The C runtime calls it by name, and no header declares it.
int wmain(int argc, wchar_t* argv[]);

int wmain(int argc, wchar_t* argv[])
{
    FilePlatform::NoteInheritedFiles();
    PrepareWindowsProcess();
    std::vector<std::string> arguments = Utf8Arguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    CMorvexApp app;
    app.StartUp(argc, pointers.data(), RunDialogMode);
    return app.ExitCode();
}

#else

int main(int argc, char* argv[])
{
    // First, before any file of ours can take the number of a closed one.
    FilePlatform::NoteInheritedFiles();
    CMorvexApp app;
    app.StartUp(argc, argv, RunDialogMode);
    return app.ExitCode();
}

#endif
