// Compiles the functions that follow, up to TargetEnd.h, for AVX-512 with
// byte and word instructions, VBMI's byte permute, VBMI2's byte compress and
// CD's leading-zero count, and for BMI1: only they may use those
// instructions, so the rest of the program runs on any x86-64 processor.
// Included after every header that is not vector code, standard ones too:
// what the region includes is compiled for the target, inline functions of
// external linkage as well, and the linker may keep that copy for the whole
// program. No include guard: it opens a region rather than declaring
// anything.
#if defined(__clang__)
#pragma clang attribute push(                                                                                          \
    __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,avx512cd,bmi"))), apply_to = function)
#elif defined(__GNUC__)
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,avx512cd,bmi")
#endif
