#pragma once

#include "textarray/ItemFormatters.h"
#include "textarray/ScanPath.h"

// The vector code of each instruction set, for the chooser: the block
// finders of SSE2, AVX2 and AVX-512, and AVX-512's item formatters, where
// the processor family has them (null elsewhere).
#if defined(__x86_64__) || defined(_M_X64)
ByteItemFinderFunction FindByteItemsSse2, FindByteItemsAvx2, FindByteItemsAvx512;
ByteItemFinderFunction FindLowBytesSse2, FindLowBytesAvx2, FindLowBytesAvx512, FindDecimalLowBytesAvx512;
NumberFinderFunction FindNumbersSse2, FindNumbersAvx2, FindNumbersAvx512;
void FormatByteItemsAvx512(unsigned char* out, const unsigned char* bytes, unsigned char flip);
CFormattedLines FormatLinesAvx512(
    unsigned char* out, const unsigned char* bytes, std::size_t groups, unsigned char flip, int lineUnit, int unit);
std::size_t FormatWideItemsAvx512(unsigned char* out, const unsigned char* bytes, std::size_t groups, int unit);
#else
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
#endif
