#pragma once

#include <cstddef>

// The layers of the engine that exist only for speed, beside the scan path
// (ScanPath.h): all on unless switched off. Every combination gives the same
// bytes; the ablation benchmark switches them off one at a time to show
// what each gives.
struct CSpeedLayers
{
    bool splitScan = true;          // text arrays scanned on two threads
    bool mappedReads = true;        // regular files read through mapped windows
    bool vectorFormatters = true;   // items written a vector step at a time
    bool readAhead = true;          // text asked into the cache ahead of the block finders
};

void UseSpeedLayers(const CSpeedLayers& layers);
CSpeedLayers CurrentSpeedLayers();

// How far ahead of their reading the block finders ask for text: 0 with
// the layer off.
std::size_t ScanReadAhead();
