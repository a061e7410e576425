#pragma once

#include <string>
#include <string_view>

// The C runtime's explanation of an error number (its strerror text) as
// Windows words the matching system error in the user's language; the text
// as it is when it names no error number the system has a message for.
std::string UserLanguageSystemText(std::string_view runtimeText);
