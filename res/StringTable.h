#pragma once

#include <string>
#include <string_view>

// The program's string table (UTF-8). An unknown id gives the empty text.
std::string_view LoadResString(int id);

// "Morvex v1.10": the title and version strings, as the main dialog's
// caption and the about box's version line show them.
std::string TitleAndVersion();
