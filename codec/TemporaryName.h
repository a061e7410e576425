#pragma once

#include <string>

// A hidden file name, without a folder, that nothing else is likely to use
// (".morvex-" and twelve random hex digits, ".tmp"). A clash is caught by the
// exclusive create of the caller, who then tries another.
std::string TemporaryName();

// How many names a caller tries before it gives up.
inline constexpr int kTemporaryNameAttempts = 16;
