#pragma once

#include "NumberScanner.h"

#include <cstddef>
#include <utility>
#include <vector>

// The numbers of a stretch of text, kept in order to be handed to a sink
// later: one byte per one-byte item, the writers' common case, and a record
// for every other number.
class CNumberLog
{
public:
    void OnByteItems(const unsigned char* values, std::size_t count) { m_items.insert(m_items.end(), values, values + count); }

    void OnNumberCompleted(const CScannedNumber& number) { m_others.push_back({m_items.size(), number}); }

    // Bytes in use; the capacity stays for the next stretch.
    std::size_t Size() const { return m_items.size() + m_others.size() * sizeof(COther); }

    bool Empty() const { return m_items.empty() && m_others.empty(); }

    template <NumberSink Sink>
    void HandTo(Sink& sink) const
    {
        std::size_t handed = 0;   // items
        for (const auto& [itemsBefore, number] : m_others) {
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
    struct COther
    {
        std::size_t itemsBefore;
        CScannedNumber number;
    };

    std::vector<unsigned char> m_items;
    std::vector<COther> m_others;
};
