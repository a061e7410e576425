#pragma once

#include "NumberScanner.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// The numbers of a stretch of text, kept in order to be handed to a sink
// later: one byte per one-byte item, the writers' common case, and a record
// for every other number.
class CNumberLog
{
public:
    void OnByteItems(const unsigned char* values, std::size_t count)
    {
        m_items.insert(m_items.end(), values, values + count);
    }

    void OnNumberCompleted(const CScannedNumber& number)
    {
        const auto place = static_cast<std::uint32_t>(m_items.size());
        m_others.push_back({number.low, number.hexDigits,
            place << 9 | static_cast<std::uint32_t>(number.kind == CScannedNumber::Kind::Hex) << 8 | number.high});
    }

    // Items a log may hold: their count shares a word with a number's kind
    // and high byte.
    static constexpr std::size_t kMostItems = std::size_t{1} << 23;

    // Bytes in use; the capacity stays for the next stretch.
    std::size_t Size() const { return m_items.size() + m_others.size() * sizeof(COther); }

    std::size_t OtherCount() const { return m_others.size(); }

    template <NumberSink Sink>
    void HandTo(Sink& sink) const
    {
        // Numbers between items go over in batches, as blocks found them,
        // except those that a batch cannot hold.
        std::uint64_t values[kBatchSize];
        std::uint32_t hexDigits[kBatchSize];
        std::size_t batched = 0;
        const auto handBatch = [&] {
            HandNumbers(sink, CFoundNumbers{values, hexDigits}, batched);
            batched = 0;
        };
        std::size_t handed = 0;   // items
        for (const COther& other : m_others) {
            const std::size_t itemsBefore = other.placeKindHigh >> 9;
            if (itemsBefore > handed) {
                handBatch();
                sink.OnByteItems(m_items.data() + handed, itemsBefore - handed);
                handed = itemsBefore;
            }
            const bool hex = (other.placeKindHigh >> 8 & 1) != 0;
            const auto high = static_cast<std::uint8_t>(other.placeKindHigh);
            if (high != 0 || hex != (other.hexDigits != 0)) {
                handBatch();
                sink.OnNumberCompleted({hex ? CScannedNumber::Kind::Hex : CScannedNumber::Kind::Decimal, other.low,
                    high, other.hexDigits});
                continue;
            }
            values[batched] = other.low;
            hexDigits[batched] = other.hexDigits;
            if (++batched == kBatchSize)
                handBatch();
        }
        handBatch();
        if (m_items.size() > handed)
            sink.OnByteItems(m_items.data() + handed, m_items.size() - handed);
    }

    void Clear()
    {
        m_items.clear();
        m_others.clear();
    }

    void Swap(CNumberLog& other) noexcept
    {
        m_items.swap(other.m_items);
        m_others.swap(other.m_others);
    }

private:
    static constexpr std::size_t kBatchSize = 256;

    // Sixteen bytes a number, so that logs of short numbers stay small.
    struct COther
    {
        std::uint64_t low;
        std::uint32_t hexDigits;
        std::uint32_t placeKindHigh;   // items before it, whether hex, its high byte
    };

    std::vector<unsigned char> m_items;
    std::vector<COther> m_others;
};
