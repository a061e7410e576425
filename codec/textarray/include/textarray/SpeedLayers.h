#pragma once

#include <cstddef>
#include <cstdint>

// The layers of the engine that exist only for speed, beside the scan path
// (ScanPath.h): all on unless switched off. Every combination gives the same
// bytes; the ablation benchmark switches them off one at a time to show
// what each gives.
struct CSpeedLayers
{
    bool splitScan = true;          // text arrays scanned on two threads
    bool mappedReads = true;        // regular files read through mapped windows
    bool vectorFormatters = true;   // items written a vector step at a time
    bool readAhead = true;          // sources asked into the cache ahead of the finders and formatters
};

void UseSpeedLayers(const CSpeedLayers& layers);
CSpeedLayers CurrentSpeedLayers();

// How far ahead of their reading the block finders and the writers'
// formatters ask for their source: 0 with the layer off.
std::size_t ReadAheadDistance();

// Asks for the byte distance on from at: mapped sources come from memory,
// where the processor's own prefetching stops at every page. A hint that
// never faults, so the address may lie past the source; it is counted as a
// number, since no pointer may point there.
inline void Prefetch(const unsigned char* at, std::size_t distance)
{
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(at) + distance));
}
