#pragma once

#include "textarray/ItemFormatters.h"
#include "textarray/ScanPath.h"

// The block finders of each instruction set and the item formatters of AVX-512, where the
// processor family has them.
#if defined(__x86_64__) || defined(_M_X64)
inline constexpr bool kHasX86Finders = true;
ByteItemFinderFunction FindByteItemsSse2, FindByteItemsAvx2, FindByteItemsAvx512;
ByteItemFinderFunction FindLowBytesSse2, FindLowBytesAvx2, FindLowBytesAvx512, FindDecimalLowBytesAvx512;
NumberFinderFunction FindNumbersSse2, FindNumbersAvx2, FindNumbersAvx512;
void FormatByteItemsAvx512(unsigned char* out, const unsigned char* bytes, unsigned char flip);
CFormattedLines FormatLinesAvx512(
    unsigned char* out, const unsigned char* bytes, std::size_t groups, unsigned char flip, int lineUnit, int unit);
std::size_t FormatWideItemsAvx512(unsigned char* out, const unsigned char* bytes, std::size_t groups, int unit);
// AVX2 and BMI1, and an operating system that saves the wide registers.
bool ProcessorHasAvx2();
// AVX-512 with byte and word instructions, the byte permute (VBMI) and the
// byte compress (VBMI2) and the leading-zero count (CD).
bool ProcessorHasAvx512();
#else
inline constexpr bool kHasX86Finders = false;
inline constexpr ByteItemFinder FindByteItemsSse2 = nullptr;
inline constexpr ByteItemFinder FindByteItemsAvx2 = nullptr;
inline constexpr ByteItemFinder FindByteItemsAvx512 = nullptr;
inline constexpr ByteItemFinder FindLowBytesSse2 = nullptr;
inline constexpr ByteItemFinder FindLowBytesAvx2 = nullptr;
inline constexpr ByteItemFinder FindLowBytesAvx512 = nullptr;
inline constexpr ByteItemFinder FindDecimalLowBytesAvx512 = nullptr;
inline constexpr NumberFinder FindNumbersSse2 = nullptr;
inline constexpr NumberFinder FindNumbersAvx2 = nullptr;
inline constexpr NumberFinder FindNumbersAvx512 = nullptr;
inline constexpr ByteItemFormatter FormatByteItemsAvx512 = nullptr;
inline constexpr LinesFormatter FormatLinesAvx512 = nullptr;
inline constexpr WideItemFormatter FormatWideItemsAvx512 = nullptr;
inline bool ProcessorHasAvx2()
{
    return false;
}
inline bool ProcessorHasAvx512()
{
    return false;
}
#endif
