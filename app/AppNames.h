#pragma once

#include <string>
#include <string_view>

// The names the program derives from its own executable path.
struct CAppNames
{
    std::string executableBaseName;  // file name without its extension
    std::string applicationName;     // caption of every message box
    std::string helpFilePath;        // full path with the extension replaced by ".HLP"
    std::string settingsFileName;    // base name plus ".INI"

    static CAppNames FromExecutablePath(std::string_view path);
};

// Full path of the running executable, as the platform reports it.
std::string ExecutablePath();
