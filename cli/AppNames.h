#pragma once

#include <string>
#include <string_view>

// The names the program derives from its own executable path.
struct CAppNames
{
    std::string applicationName;   // the file name without its extension; caption of every message box
    std::string settingsFileName;  // that base name plus ".INI"

    static CAppNames FromExecutablePath(std::string_view path);
};

// Full path of the running executable, as the platform reports it.
std::string ExecutablePath();
