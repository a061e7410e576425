#pragma once

// The byte unit: bytes per number of a text array.
inline constexpr int kMinByteUnit = 1;
inline constexpr int kMaxByteUnit = 9;
