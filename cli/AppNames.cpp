#include "AppNames.h"

#include <filesystem>

#ifdef _WIN32
#include "fileio/Utf8Path.h"

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
    // Long paths may exceed MAX_PATH: grow until the whole name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return "morvex";
        if (length < path.size())
            return Utf8FromWide(std::wstring_view(path.data(), length));
        path.resize(path.size() * 2);
    }
#else
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("morvex") : path.string();
#endif
}
