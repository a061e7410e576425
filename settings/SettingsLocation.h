#pragma once

#include <filesystem>
#include <string_view>
#include <utility>

// Where the settings file lives for this user.
struct CSettingsLocation
{
    CSettingsLocation(std::filesystem::path settingsFile, std::filesystem::path oldFile = {})
        : file(std::move(settingsFile))
        , carriedOverFrom(std::move(oldFile))
    {
    }

    std::filesystem::path file;             // read and saved
    std::filesystem::path carriedOverFrom;  // read until the file exists; empty if none
};

// fileName is UTF-8. On Windows: %APPDATA%\fileName, carried over from the
// Windows folder where older releases kept it. Elsewhere:
// $XDG_CONFIG_HOME/fileName, else ~/.config/fileName.
CSettingsLocation LocateSettings(std::string_view fileName);

#ifndef _WIN32
// The user's configuration folder by the XDG rules: $XDG_CONFIG_HOME when it
// is an absolute path (a relative or empty one is ignored), else home/.config.
std::filesystem::path ConfigurationFolder(const char* xdgConfigHome, const std::filesystem::path& home);
#endif
