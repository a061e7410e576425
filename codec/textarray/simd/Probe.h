#pragma once

// What the processor has of the instruction sets that the block finders and
// the item formatters use.
struct CProcessorFeatures
{
    bool sse2 = false;   // every x86-64 processor
    // AVX2 and BMI1, and an operating system that saves the wide registers.
    bool avx2 = false;
    // AVX2's, and AVX-512 with byte and word instructions, the byte permute
    // (VBMI), the byte compress (VBMI2) and the leading-zero count (CD).
    bool avx512 = false;
};

// Asks the processor; the chooser does so once.
CProcessorFeatures ProbeProcessor();
