// Compiled for any x86-64 processor, unlike the vector code it vouches for.
#include "simd/Probe.h"

CProcessorFeatures ProbeProcessor()
{
#if defined(__x86_64__) || defined(_M_X64)
    __builtin_cpu_init();
    const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi");
    const bool avx512 = avx2 && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl")
        && __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2")
        && __builtin_cpu_supports("avx512cd");
    return {true, avx2, avx512};
#else
    return {};
#endif
}
