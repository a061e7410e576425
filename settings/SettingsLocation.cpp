#include "SettingsLocation.h"

#include "fileio/Utf8Path.h"

#include <string>

#ifdef _WIN32
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
#else
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32

std::filesystem::path RoamingAppDataFolder()
{
    PWSTR folder = nullptr;
    std::filesystem::path result;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder)))
        result = folder;
    CoTaskMemFree(folder);
    if (result.empty()) {
        if (const wchar_t* appData = _wgetenv(L"APPDATA"))
            result = appData;
    }
    return result;
}

std::filesystem::path WindowsFolder()
{
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::filesystem::path(folder) : std::filesystem::path();
}

#else

std::filesystem::path HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    const passwd* user = getpwuid(getuid());
    return user && user->pw_dir ? user->pw_dir : "";
}

#endif

} // namespace

#ifdef _WIN32

CSettingsLocation LocateSettings(std::string_view fileName)
{
    const std::filesystem::path name = PathFromUtf8(std::string(fileName));
    const std::filesystem::path oldFolder = WindowsFolder();
    return {RoamingAppDataFolder() / name, oldFolder.empty() ? std::filesystem::path() : oldFolder / name};
}

#else

std::filesystem::path ConfigurationFolder(const char* xdgConfigHome, const std::filesystem::path& home)
{
    if (xdgConfigHome && std::filesystem::path(xdgConfigHome).is_absolute())
        return xdgConfigHome;
    return home / ".config";
}

CSettingsLocation LocateSettings(std::string_view fileName)
{
    return {
        ConfigurationFolder(std::getenv("XDG_CONFIG_HOME"), HomeFolder()) / PathFromUtf8(std::string(fileName)), {}};
}

#endif
