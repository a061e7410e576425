#pragma once

#include "IoWorker.h"
#include "NumberScanner.h"

#include <cstddef>
#include <span>
#include <type_traits>
#include <vector>

// Sinks that act on completed numbers alone; only they can take a part of
// the text scanned by another thread.
template <class Sink>
inline constexpr bool kActsOnCompletedNumbersOnly
    = std::is_same_v<decltype(&Sink::OnNumberStarted), decltype(&CScannerSink::OnNumberStarted)>
    && std::is_same_v<decltype(&Sink::OnHexDigit), decltype(&CScannerSink::OnHexDigit)>
    && std::is_same_v<decltype(&Sink::OnDecimalDigit), decltype(&CScannerSink::OnDecimalDigit)>;

// The numbers of a part of the text, in order, kept until a sink takes them.
// Its memory stays once grown, so it is the same for every chunk.
class CNumberRecord : public CScannerSink
{
public:
    void OnNumberCompleted(const CScannedNumber& number) { m_others.push_back({m_bytes.size(), number}); }
    void OnByteItems(const unsigned char* values, std::size_t count) { m_bytes.insert(m_bytes.end(), values, values + count); }

    std::size_t OtherCount() const { return m_others.size(); }

    // Hands every number to the sink as the scanner would have, and forgets them.
    template <class Sink>
    void HandTo(Sink& sink)
    {
        std::size_t handed = 0;
        for (const COther& other : m_others) {
            HandBytes(sink, handed, other.bytesBefore);
            sink.OnNumberCompleted(other.number);
        }
        HandBytes(sink, handed, m_bytes.size());
        m_bytes.clear();
        m_others.clear();
    }

private:
    // A number of another shape, after so many one-byte items.
    struct COther
    {
        std::size_t bytesBefore;
        CScannedNumber number;
    };

    template <class Sink>
    void HandBytes(Sink& sink, std::size_t& handed, std::size_t upTo) const
    {
        if (upTo > handed)
            sink.OnByteItems(m_bytes.data() + handed, upTo - handed);
        handed = upTo;
    }

    std::vector<unsigned char> m_bytes;
    std::vector<COther> m_others;
};

// A scanner that reads the second half of every large chunk on a thread of
// its own while this one reads the first. The halves meet at a byte that no
// number holds, so each half completes its last number as that byte would;
// the text after the chunk's last such byte is left to this thread, since
// its number may go on in the next chunk.
template <class Sink>
class CSplitScanner
{
    static_assert(kActsOnCompletedNumbersOnly<Sink>, "the other thread reports completed numbers only");

public:
    // Chunks below minSplit are read on this thread alone.
    explicit CSplitScanner(Sink& sink, std::size_t minSplit = kMinSplit)
        : m_sink(sink), m_scanner(sink), m_helperScanner(m_record), m_nMinSplit(minSplit)
    {
    }

    void Feed(std::span<const unsigned char> chunk)
    {
        const unsigned char* const begin = chunk.data();
        const unsigned char* const end = begin + chunk.size();
        const unsigned char* const split = chunk.size() >= m_nMinSplit ? NextSeparator(begin + chunk.size() / 2, end) : end;
        const unsigned char* const last = LastSeparator(split, end);
        if (last == split) {
            m_scanner.Feed(chunk);
            return;
        }
        const unsigned char* stop = split;
        m_helper.Start([this, split, last, &stop] {
            stop = ScanInPieces(split, last);
            return 0;
        });
        m_scanner.Feed({begin, split});
        m_scanner.Finish();
        m_helper.Wait();
        m_record.HandTo(m_sink);
        m_scanner.Feed({stop, end});
    }

    void Finish() { m_scanner.Finish(); }

private:
    static constexpr std::size_t kMinSplit = 64 * 1024;
    // The other thread reads in pieces of about this size, ending at
    // separators, and stops early when the numbers of another shape it
    // keeps could outgrow kMaxOthers: text full of them is read on this
    // thread instead, and memory stays small.
    static constexpr std::size_t kPieceSize = 16 * 1024;
    static constexpr std::size_t kMaxOthers = 4 * kPieceSize;

    // No number holds this byte, nor goes on past it.
    static bool IsSeparator(unsigned char byte)
    {
        return hex_tables::kHexValue[byte] == hex_tables::kNotADigit && (byte | 0x20) != 'x';
    }

    static const unsigned char* NextSeparator(const unsigned char* p, const unsigned char* end)
    {
        while (p != end && !IsSeparator(*p))
            ++p;
        return p;
    }

    // The last separator in [from, end), or from if there is none.
    static const unsigned char* LastSeparator(const unsigned char* from, const unsigned char* end)
    {
        for (const unsigned char* p = end; p != from; --p)
            if (IsSeparator(p[-1]))
                return p - 1;
        return from;
    }

    // On the other thread: [from, to) into the record; returns where it stopped.
    const unsigned char* ScanInPieces(const unsigned char* from, const unsigned char* to)
    {
        while (from != to && m_record.OtherCount() + kPieceSize / 2 + 2 <= kMaxOthers) {
            const unsigned char* pieceEnd = static_cast<std::size_t>(to - from) > kPieceSize ? NextSeparator(from + kPieceSize, to) : to;
            m_helperScanner.Feed({from, pieceEnd});
            from = pieceEnd;
        }
        m_helperScanner.Finish();
        return from;
    }

    Sink& m_sink;
    CNumberScanner<Sink> m_scanner;
    CNumberRecord m_record;
    CNumberScanner<CNumberRecord> m_helperScanner;
    std::size_t m_nMinSplit;
    CIoWorker m_helper;   // last: it stops before the rest goes
};
