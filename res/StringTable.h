#pragma once

#include <string_view>

// The program's string table (UTF-8). An unknown id gives the empty text.
std::string_view LoadResString(int id);
