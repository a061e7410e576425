#include "TemporaryName.h"

#include <cstdint>
#include <random>

std::string TemporaryName()
{
    static thread_local std::mt19937_64 random(std::random_device{}());
    static const char kDigits[] = "0123456789abcdef";
    std::string name = ".morvex-";
    for (std::uint64_t bits = random(), n = 0; n < 12; ++n, bits >>= 4)
        name += kDigits[bits & 15];
    return name + ".tmp";
}
