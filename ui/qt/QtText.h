#pragma once

#include <QString>

#include <string_view>

// The resource texts are UTF-8.
inline QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
