#pragma once

#include <optional>
#include <string_view>

// The pieces of a profile line: "[section]" headers and "key=value" entries.
// Names compare without regard to ASCII case.

// The section name of a "[name]" line, blanks around it removed.
std::optional<std::string_view> SectionName(std::string_view line);

bool SameName(std::string_view a, std::string_view b);

// Whether the line is blank (spaces, tabs and stray CRs only).
bool IsBlankLine(std::string_view line);

// The value of a "key=value" line for this key, blanks around it removed.
std::optional<std::string_view> KeyValue(std::string_view line, std::string_view key);

// Leading optional sign and decimal digits, clamped to int; 0 without digits.
int LeadingInteger(std::string_view text);
