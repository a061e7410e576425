#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

// One entry of the program's string table.
struct CResString
{
    int id;
    std::string_view text;  // UTF-8
};

// The whole string table, in id order.
std::span<const CResString> ResStrings();

// The program's string table (UTF-8). An unknown id gives the empty text.
std::string_view LoadResString(int id);

// The string with "%1" to "%9" replaced by the inserts in order, as the
// table's messages are written; a placeholder without an insert stays as it
// is, and inserted text is never searched for placeholders itself.
std::string FormatResString(int id, std::initializer_list<std::string_view> inserts);

// "Morvex v1.10": the title and version strings, as the main dialog's
// caption and the about box's version line show them.
std::string TitleAndVersion();
