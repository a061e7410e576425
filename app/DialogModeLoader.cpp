#include "AppNames.h"
#include "CommandLine.h"
#include "DialogMode.h"
#include "DisplayError.h"
#include "DisplayProbe.h"
#include "Usage.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

// The dialogs live in a module of their own, loaded only here: a command-line
// run never loads the toolkit, which keeps it small and quick to start.

namespace {

bool IsSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

// Without a display the toolkit would abort; an explicit platform
// (offscreen, for instance) needs none.
bool HasDisplay()
{
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
}

// Beside the executable in the build tree; in the library folder once installed.
void* LoadDialogsModule(std::string& error)
{
    const std::filesystem::path programFolder = std::filesystem::path(ExecutablePath()).parent_path();
    for (const std::filesystem::path& folder : {programFolder, programFolder / MORVEX_DIALOGS_FROM_BINDIR}) {
        const std::filesystem::path path = (folder / MORVEX_DIALOGS_MODULE).lexically_normal();
        if (!std::filesystem::exists(path))
            continue;
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module)
            error = dlerror();
        return module;
    }
    error = std::string(MORVEX_DIALOGS_MODULE) + " is neither beside the program nor in its library folder";
    return nullptr;
}

} // namespace

int RunDialogMode(const CAppNames& names, const std::string& sourcePath, int argc, char* argv[])
{
    if (!HasDisplay()) {
        std::cerr << "morvex: cannot open the dialogs: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n";
        PrintUsage(std::cerr);
        return kExitUsage;
    }
    // Lives until the dialogs have closed.
    const CDisplayProbe display;
    if (display.UnreachableDisplay()) {
        ReportUnopenableDisplay(std::cerr, *display.UnreachableDisplay());
        return kExitUsage;
    }
    std::string error;
    void* module = LoadDialogsModule(error);
    using RunDialogs = int(const CAppNames&, const std::string&, int, char*[]);
    auto* run = module ? reinterpret_cast<RunDialogs*>(dlsym(module, "MorvexRunDialogs")) : nullptr;
    if (!run) {
        // The command line alone is installed: say what brings the dialogs,
        // and how to convert without them.
        std::cerr << "morvex: cannot load the dialogs (" << (module ? dlerror() : error)
                  << "); they come with the package " MORVEX_DIALOGS_PACKAGE "\n";
        PrintUsage(std::cerr);
        return kExitUsage;
    }
    // The module stays loaded until the process ends: the toolkit's
    // clean-up at exit still runs code from it.
    return run(names, sourcePath, argc, argv);
}
