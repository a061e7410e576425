#pragma once

#include "textarray/ScannedNumber.h"
#include "textarray/TextFormat.h"

#include <cstddef>

// The ways the engine can read text arrays: byte by byte only (every
// processor), or a block at a time with 16-byte (SSE2), 32-byte (AVX2) or
// 64-byte (AVX-512) vectors. All give the same numbers; the engine uses the
// fastest the processor has unless one is forced, as the tests and the fuzz
// target do for each.
enum class ScanPath { Scalar, Sse2, Avx2, Avx512 };
inline constexpr ScanPath kEveryScanPath[] = {ScanPath::Scalar, ScanPath::Sse2, ScanPath::Avx2, ScanPath::Avx512};

// Takes the one-byte hex items ("0x" or "0X", two hex digits, then a byte that
// is no hex digit) at the start of [position, end), and the separators
// between them, a block at a time. Writes their values to values, which has
// room for capacity, and returns their count. position moves to where the
// scanner, idle, goes on: a number of another shape, the end mark, bytes too
// few for a whole block, or the next block once the room left is below
// kByteItemFinderRoom.
using ByteItemFinderFunction = std::size_t(
    const unsigned char*& position, const unsigned char* end, unsigned char* values, std::size_t capacity);
using ByteItemFinder = ByteItemFinderFunction*;

inline constexpr std::size_t kByteItemFinderRoom = 24;

// Takes the numbers of the common shapes at the start of [position, end),
// and the separators between them, a block at a time: decimal numbers of up
// to 16 digits, hex numbers of 1 to 16, whatever separates them. Writes them
// to numbers, which has room for capacity, and returns their count. position
// moves as a ByteItemFinder's does, stopping at numbers of other shapes.
using NumberFinderFunction = std::size_t(
    const unsigned char*& position, const unsigned char* end, CFoundNumbers numbers, std::size_t capacity);
using NumberFinder = NumberFinderFunction*;

inline constexpr std::size_t kNumberFinderRoom = 32;

bool IsScanPathAvailable(ScanPath path);
ScanPath BestScanPath();

// The path of scanners and writers made from now on; false, and no change,
// if this processor lacks it.
bool UseScanPath(ScanPath path);
ScanPath CurrentScanPath();

// The block finders of a path; none for the scalar one. The low byte
// finder is a ByteItemFinder that takes hex numbers of any width from two
// digits up as their low byte, their last two digits' value, for sinks that
// keep no more; the decimal low byte finder, AVX-512's alone, takes blocks
// of decimal numbers of up to four digits as their low bytes for the same
// sinks, and needs a NumberFinder's room.
struct CScanKernels
{
    ByteItemFinder findByteItems;
    ByteItemFinder findLowBytes;
    NumberFinder findNumbers;
    ByteItemFinder findDecimalLowBytes;
};

// The current path's.
CScanKernels CurrentScanKernels();
