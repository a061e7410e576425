#pragma once

// The layers of the engine that exist only for speed, beside the scan path
// (ScanPath.h): all on unless switched off. Every combination gives the same
// bytes; the ablation benchmark switches them off one at a time to show
// what each gives.
struct CSpeedLayers
{
    bool splitScan = true;          // text arrays scanned on two threads
    bool mappedReads = true;        // regular files read through mapped windows
    bool vectorFormatters = true;   // items written a vector step at a time
};

void UseSpeedLayers(const CSpeedLayers& layers);
CSpeedLayers CurrentSpeedLayers();
