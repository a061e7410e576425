#pragma once

#include <QFont>

#include <string_view>

// The template's font where it is installed, else the first Korean-capable
// substitute that is, at the template's point size.
QFont DialogFont(std::string_view face, int pointSize);
