#pragma once

#include "textarray/NumberScanner.h"
#include "textarray/SpeedLayers.h"
#include "textarray/SplitScanner.h"

// Feeds the scanner the chunks that next() returns until an empty one or the
// text's end mark, then finishes it.
template <typename Scanner, typename NextChunk>
void FeedChunks(Scanner& scanner, NextChunk next)
{
    for (auto chunk = next(); !chunk.empty() && !scanner.Ended(); chunk = next())
        scanner.Feed(chunk);
    scanner.Finish();
}

// Every number of the chunks that next() returns to the sink, on two
// threads where that speed layer is on.
template <SplittableSink Sink, typename NextChunk>
void ScanText(Sink& sink, NextChunk next)
{
    if (CurrentSpeedLayers().splitScan) {
        CSplitScanner<Sink> scanner(sink);
        FeedChunks(scanner, next);
    } else {
        CNumberScanner<Sink> scanner(sink);
        FeedChunks(scanner, next);
    }
}
