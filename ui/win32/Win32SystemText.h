#pragma once

#include <string>

// The explanation of an error number (errno-style) as Windows words the
// matching system error in the user's language; the C runtime's text when
// the system has no message for it.
std::string UserLanguageSystemText(int errorNumber);
