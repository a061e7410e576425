#pragma once

#include "fileio/Utf8Path.h"

#include <string>
#include <string_view>

// The dialogs' texts are UTF-8; Windows takes UTF-16.
inline std::wstring ToWide(std::string_view text)
{
    return WideFromUtf8(text);
}

inline std::string ToUtf8(std::wstring_view text)
{
    return Utf8FromWide(text);
}
