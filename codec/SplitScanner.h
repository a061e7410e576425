#pragma once

#include "HexTables.h"
#include "IoWorker.h"
#include "NumberLog.h"
#include "NumberScanner.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

// What the helper makes of its part of the text for the sink to take later:
// the sink's own part where it has one, else a log of the numbers.
template <NumberSink Sink>
auto PartFor(Sink& sink)
{
    if constexpr (requires { sink.MakePart(); })
        return sink.MakePart();
    else
        return CNumberLog();
}

// Scans text on two threads. Each chunk is split just after a byte that ends
// any number, so that both parts start with no number open; this thread
// scans the first part into the sink while a helper logs the numbers of the
// second. The log goes to the sink at the start of the next chunk, while the
// helper already scans that one, so the sink's own work overlaps the helper's
// too. The split moves with every chunk towards the place where neither
// thread waits for the other. Same numbers, in the same order, as one scanner.
template <NumberSink Sink>
class CSplitScanner
{
public:
    explicit CSplitScanner(Sink& sink)
        : m_sink(sink)
        , m_scanner(sink)
        , m_helperLog(PartFor(sink))
        , m_helperScanner(m_helperLog)
        , m_pendingLog(PartFor(sink))
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
        HandOverLogged();
        m_scanner.Finish();
    }

    // Whether the text's end mark has been read.
    bool Ended() const { return m_scanner.Ended() || m_helperScanner.Ended(); }

private:
    // Chunks below this are not worth a hand-over between threads.
    static constexpr std::size_t kSmallestSplit = 64;
    // The helper checks its log's size between pieces of this many bytes...
    static constexpr std::size_t kHelperPiece = 16 * 1024;
    // ...and leaves the rest of its part to this thread once the log holds
    // this much, so that texts of many short numbers keep memory small too.
    static constexpr std::size_t kLogBudget = 1024 * 1024;
    static_assert(kLogBudget + kHelperPiece <= CNumberLog::kMostItems);
    // A chunk's bytes after its last number end are kept for the next chunk
    // up to this many; beyond, this thread scans them at once.
    static constexpr std::size_t kMostCarried = 256;
    // The first part's share of a chunk, in steps of this fraction.
    static constexpr std::size_t kShares = 64;
    // Numbers other than one-byte items closer than this, on average, cost
    // more to log and hand over than the helper saves by scanning them...
    static constexpr std::size_t kMostBytesPerLoggedNumber = 12;
    // ...and their chunks are scanned on this thread alone, until the helper
    // tries again this many chunks later, in case the text changed.
    static constexpr int kChunksAlone = 16;

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

    // The helper's job: logs [from, to) piece by piece; returns where it
    // stopped, always just after a number's end.
    const unsigned char* LogNumbers(const unsigned char* from, const unsigned char* to)
    {
        while (from != to && !m_helperScanner.Ended() && m_helperLog.Size() < kLogBudget) {
            const unsigned char* pieceEnd
                = to - from > static_cast<std::ptrdiff_t>(kHelperPiece) ? AfterFirstEnd(from + kHelperPiece, to) : to;
            m_helperScanner.Feed({from, pieceEnd});
            from = pieceEnd;
        }
        return from;
    }

    // The previous chunk's logged numbers to the sink, then its bytes after them.
    void HandOverLogged()
    {
        m_pendingLog.HandTo(m_sink);
        m_pendingLog.Clear();
        if (!m_carried.empty()) {
            m_scanner.Feed(m_carried);
            m_carried.clear();
        }
    }

    Sink& m_sink;
    CNumberScanner<Sink> m_scanner;
    using Part = decltype(PartFor(std::declval<Sink&>()));
    Part m_helperLog;   // the helper's alone while it works
    CNumberScanner<Part> m_helperScanner;
    Part m_pendingLog;
    std::vector<unsigned char> m_carried;
    std::size_t m_nFirstShare = kShares / 2;
    int m_nChunksAlone = 0;
    std::atomic<bool> m_bHelperDone{false};
    CIoWorker m_helper;   // last: it stops before the logs go
};

template <NumberSink Sink>
void CSplitScanner<Sink>::Feed(std::span<const unsigned char> chunk)
{
    if (Ended())
        return;
    const unsigned char* const begin = chunk.data();
    const unsigned char* const end = begin + chunk.size();
    const bool alone = m_nChunksAlone > 0;
    if (alone)
        --m_nChunksAlone;
    const unsigned char* const split = chunk.size() < kSmallestSplit || alone
        ? end
        : AfterFirstEnd(begin + chunk.size() * m_nFirstShare / kShares, end);
    const unsigned char* const last = AfterLastEnd(split, end);
    if (last == split) {
        HandOverLogged();
        m_scanner.Feed(chunk);
        return;
    }

    const unsigned char* helperStop = split;
    m_bHelperDone = false;
    m_helper.Start([this, split, last, &helperStop] {
        helperStop = LogNumbers(split, last);
        m_bHelperDone = true;
        return 0;
    });
    HandOverLogged();
    m_scanner.Feed({begin, split});
    // Whichever thread waited gets less of the next chunk.
    const bool helperWaited = m_bHelperDone;
    m_helper.Wait();
    m_nFirstShare
        = helperWaited ? std::max<std::size_t>(m_nFirstShare - 1, 1) : std::min(m_nFirstShare + 1, kShares - 1);
    if (m_helperLog.OtherCount() * kMostBytesPerLoggedNumber > static_cast<std::size_t>(helperStop - split))
        m_nChunksAlone = kChunksAlone;

    if (m_scanner.Ended()) {
        // The helper's part lies past the end of the text.
        m_helperLog.Clear();
        return;
    }
    m_pendingLog.Swap(m_helperLog);
    m_helperLog.Clear();
    if (m_helperScanner.Ended()) {
        HandOverLogged();
        return;
    }
    if (helperStop == last && static_cast<std::size_t>(end - last) <= kMostCarried) {
        m_carried.assign(last, end);
        return;
    }
    // The helper stopped short, or a long number ends the chunk: the rest
    // must be scanned while the chunk is still there.
    HandOverLogged();
    m_scanner.Feed({helperStop, end});
}
