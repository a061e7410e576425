#pragma once

#include <cstddef>

// The ways the number scanner can take runs of one-byte hex items: byte by
// byte only (every processor), or in blocks of 16 (SSE2) or 32 (AVX2) bytes.
// All give the same numbers; the scanner uses the fastest the processor has
// unless one is forced, as the tests and the fuzz target do for each.
enum class ScanPath { Scalar, Sse2, Avx2 };

// Takes the one-byte hex items ("0x" or "0X", two hex digits, then a byte that
// is no hex digit) at the start of [position, end), and the separators
// between them, a block at a time. Writes their values to values, which has
// room for capacity, and returns their count. position moves to where the
// scanner, idle, goes on: a number of another shape, bytes too few for a
// whole block, or the next block once the room left is below
// kByteItemFinderRoom.
using ByteItemFinder = std::size_t (*)(const unsigned char*& position, const unsigned char* end, unsigned char* values,
    std::size_t capacity);

inline constexpr std::size_t kByteItemFinderRoom = 24;

bool IsScanPathAvailable(ScanPath path);
ScanPath BestScanPath();

// The path of scanners made from now on; false, and no change, if this
// processor lacks it.
bool UseScanPath(ScanPath path);
ScanPath CurrentScanPath();

// The block finder of the current path; none for the scalar one.
ByteItemFinder CurrentByteItemFinder();
