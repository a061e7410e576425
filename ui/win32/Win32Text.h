#pragma once

#include <string>
#include <string_view>

// The dialogs' texts are UTF-8; Windows takes UTF-16.
std::wstring ToWide(std::string_view text);
std::string ToUtf8(std::wstring_view text);
