#pragma once

#include <string_view>

// Writes the program's messages (UTF-8) to standard error. A Windows console
// is written in UTF-16, so that non-ASCII file names show as they are; a
// redirected standard error gets the UTF-8 bytes.
void WriteErrorText(std::string_view utf8);
