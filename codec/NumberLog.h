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
    void OnByteItems(const unsigned char* values, std::size_t count) { m_items.insert(m_items.end(), values, values + count); }

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

    bool Empty() const { return m_items.empty() && m_others.empty(); }

    template <NumberSink Sink>
    void HandTo(Sink& sink) const
    {
        std::size_t handed = 0;   // items
        for (const COther& other : m_others) {
            const std::size_t itemsBefore = other.placeKindHigh >> 9;
            const CScannedNumber number = {(other.placeKindHigh >> 8 & 1) != 0 ? CScannedNumber::Kind::Hex : CScannedNumber::Kind::Decimal,
                other.low, static_cast<std::uint8_t>(other.placeKindHigh), other.hexDigits};
            if (itemsBefore > handed)
                sink.OnByteItems(m_items.data() + handed, itemsBefore - handed);
            handed = itemsBefore;
            sink.OnNumberCompleted(number);
        }
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
