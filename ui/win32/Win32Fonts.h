#pragma once

#include <string>
#include <string_view>

// The template's face where it is installed, else the first installed
// Korean face that stands in for it.
std::wstring DialogFace(std::string_view templateFace);

// The fixed-width Korean face of the release notes, or its stand-in.
std::wstring FixedWidthFace();
