#pragma once

// A text array ends at this byte, if it comes before the end of the file.
inline constexpr unsigned char kEndOfText = 0x1A;
