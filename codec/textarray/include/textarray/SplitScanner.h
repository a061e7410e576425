#pragma once

#include "textarray/HexTables.h"
#include "fileio/WorkerThread.h"
#include "textarray/NumberScanner.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

// A sink whose work on a stretch of text can be done on another thread: its
// part takes the numbers there, and is handed to the sink afterwards, in
// order, as if the sink had taken them itself.
template <class Sink>
concept SplittableSink = NumberSink<Sink> && requires(Sink& sink) {
    { sink.MakePart() } -> NumberSink;
    sink.MakePart().HandTo(sink);
    sink.MakePart().Size();
};

// Scans text on two threads. Each chunk is split just after a byte that ends
// any number, so that both parts start with no number open; this thread
// scans the first part into the sink while a helper scans the second into
// the sink's part. The part goes to the sink at the start of the next chunk,
// while the helper already scans that one. The split moves with every chunk
// towards the place where neither thread waits for the other. Same numbers,
// in the same order, as one scanner.
template <SplittableSink Sink>
class CSplitScanner
{
public:
    explicit CSplitScanner(Sink& sink)
        : m_sink(sink)
        , m_scanner(sink)
        , m_helperPart(sink.MakePart())
        , m_helperScanner(m_helperPart)
        , m_pendingPart(sink.MakePart())
    {
    }
    ~CSplitScanner() { m_helper.Drain(); }
    CSplitScanner(const CSplitScanner&) = delete;
    CSplitScanner& operator=(const CSplitScanner&) = delete;

    // The chunk need stay valid during the call only. Nothing more is read
    // once the end mark has been.
    void Feed(std::span<const unsigned char> chunk);

    // End of input: the number in progress completes as if a separator followed.
    void Finish()
    {
        HandOverPart();
        m_scanner.Finish();
    }

    // Whether the text's end mark has been read.
    bool Ended() const { return m_scanner.Ended() || m_helperScanner.Ended(); }

private:
    // Chunks below this are not worth a hand-over between threads.
    static constexpr std::size_t kSmallestSplit = 64;
    // The helper checks its part's size between pieces of this many bytes...
    static constexpr std::size_t kHelperPiece = 16 * 1024;
    // ...and leaves the rest of its stretch to this thread once the part
    // holds this much, so that texts of many short numbers keep memory small.
    static constexpr std::size_t kPartBudget = 1024 * 1024;
    // A chunk's bytes after its last number end are kept for the next chunk
    // up to this many; beyond, this thread scans them at once.
    static constexpr std::size_t kMostCarried = 256;
    // The first part's share of a chunk, in steps of this fraction.
    static constexpr std::size_t kShares = 64;

    // After such a byte the scanner is idle whatever came before: it is no
    // hex digit, and no 'x' that could follow a leading 0.
    static bool EndsEveryNumber(unsigned char byte)
    {
        return hex_tables::kHexValue[byte] == hex_tables::kNotADigit && (byte | 0x20) != 'x';
    }

    // Just after the first such byte at or after p; end if there is none.
    static const unsigned char* AfterFirstEnd(const unsigned char* p, const unsigned char* end)
    {
        const unsigned char* found = std::find_if(p, end, EndsEveryNumber);
        return found == end ? end : found + 1;
    }

    // Just after the last such byte before end; begin if there is none.
    static const unsigned char* AfterLastEnd(const unsigned char* begin, const unsigned char* end)
    {
        const unsigned char* p = end;
        while (p != begin && !EndsEveryNumber(p[-1]))
            --p;
        return p;
    }

    // The helper's job: scans [from, to) into its part piece by piece;
    // returns where it stopped, always just after a number's end.
    const unsigned char* ScanPart(const unsigned char* from, const unsigned char* to)
    {
        while (from != to && !m_helperScanner.Ended() && m_helperPart.Size() < kPartBudget) {
            const unsigned char* pieceEnd
                = to - from > static_cast<std::ptrdiff_t>(kHelperPiece) ? AfterFirstEnd(from + kHelperPiece, to) : to;
            m_helperScanner.Feed({from, pieceEnd});
            from = pieceEnd;
        }
        return from;
    }

    // The previous chunk's part to the sink, then its bytes after the part.
    void HandOverPart()
    {
        m_pendingPart.HandTo(m_sink);
        m_pendingPart.Clear();
        if (!m_carried.empty()) {
            m_scanner.Feed(m_carried);
            m_carried.clear();
        }
    }

    Sink& m_sink;
    CNumberScanner<Sink> m_scanner;
    using Part = decltype(std::declval<Sink&>().MakePart());
    Part m_helperPart;   // the helper's alone while it works
    CNumberScanner<Part> m_helperScanner;
    Part m_pendingPart;
    std::vector<unsigned char> m_carried;
    std::size_t m_nFirstShare = kShares / 2;
    std::atomic<bool> m_bHelperDone{false};
    CWorkerThread m_helper;   // last: it stops before the parts go
};

template <SplittableSink Sink>
void CSplitScanner<Sink>::Feed(std::span<const unsigned char> chunk)
{
    if (Ended())
        return;
    const unsigned char* const begin = chunk.data();
    const unsigned char* const end = begin + chunk.size();
    const unsigned char* const split
        = chunk.size() < kSmallestSplit ? end : AfterFirstEnd(begin + chunk.size() * m_nFirstShare / kShares, end);
    const unsigned char* const last = AfterLastEnd(split, end);
    if (last == split) {
        HandOverPart();
        m_scanner.Feed(chunk);
        return;
    }

    const unsigned char* helperStop = split;
    m_bHelperDone = false;
    m_helper.Start([this, split, last, &helperStop] {
        helperStop = ScanPart(split, last);
        m_bHelperDone = true;
        return 0;
    });
    HandOverPart();
    m_scanner.Feed({begin, split});
    // Whichever thread waited gets less of the next chunk.
    const bool helperWaited = m_bHelperDone;
    m_helper.Wait();
    m_nFirstShare
        = helperWaited ? std::max<std::size_t>(m_nFirstShare - 1, 1) : std::min(m_nFirstShare + 1, kShares - 1);
    if (m_scanner.Ended()) {
        // The helper's part lies past the end of the text.
        m_helperPart.Clear();
        return;
    }
    m_pendingPart.Swap(m_helperPart);
    m_helperPart.Clear();
    if (m_helperScanner.Ended()) {
        HandOverPart();
        return;
    }
    if (helperStop == last && static_cast<std::size_t>(end - last) <= kMostCarried) {
        m_carried.assign(last, end);
        return;
    }
    // The helper stopped short, or a long number ends the chunk: the rest
    // must be scanned while the chunk is still there.
    HandOverPart();
    m_scanner.Feed({helperStop, end});
}
