#pragma once

#include <string_view>

// Writes the program's text (UTF-8) to standard output or standard error. A
// Windows console is written in UTF-16, so that non-ASCII file names show as
// they are; a redirected stream gets the UTF-8 bytes.
void WriteOutputText(std::string_view utf8);
void WriteErrorText(std::string_view utf8);
