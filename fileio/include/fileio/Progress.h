#pragma once

#include <cstdint>
#include <functional>

// Told the count of source bytes read so far, once per chunk; returning
// false cancels the operation under way.
using ProgressCallback = std::function<bool(std::uint64_t bytesRead)>;
