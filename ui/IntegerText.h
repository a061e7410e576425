#pragma once

#include <optional>
#include <string_view>

// Reads an edit box's text as a dialog integer: within its first 31
// characters, blanks (space or tab), an optional sign, decimal digits,
// blanks and nothing else. The value is clamped to the int range. A value
// of 0 counts only when it was written with a leading digit 0, so "+0" and
// "-0" are refused.
std::optional<int> ParseIntegerText(std::string_view text);
