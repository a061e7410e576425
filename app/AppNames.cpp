#include "AppNames.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

CAppNames CAppNames::FromExecutablePath(std::string_view path)
{
    // Any of the three separators a path may use on the platforms we run on.
    const std::size_t slash = path.find_last_of("\\/:");
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::string_view fileName = path.substr(nameStart);
    const std::size_t dot = fileName.rfind('.');
    const std::string_view baseName = fileName.substr(0, dot);

    CAppNames names;
    names.applicationName = baseName;
    names.settingsFileName = std::string(baseName) + ".INI";
    return names;
}

std::string ExecutablePath()
{
#ifdef _WIN32
    char path[MAX_PATH * 4] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
#else
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("morvex") : path.string();
#endif
}
