#pragma once

#include "ByteStreams.h"
#include "HexTables.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

// Writes the items of a text array: "0x" plus two upper-case digits per byte,
// or a decimal number, each followed by its separator, with CR LF after every
// line-unit-th item.
class CTextArrayWriter
{
public:
    // "0x", 18 digits, a comma and CR LF.
    static constexpr std::size_t kMaxItemSize = 23;

    CTextArrayWriter(CByteWriter& out, int lineUnit) : m_out(out), m_nLineUnit(lineUnit) {}

    // Each item is written between BeginItem and EndItem, at most kMaxItemSize bytes.
    unsigned char* BeginItem() { return m_out.Reserve(kMaxItemSize); }

    void EndItem(unsigned char* pos) { EndItems(pos, 1); }

    // One "0xHH," item for every byte, with the line breaks: the hot loop of
    // binary to text with byte unit 1, kept free of per-item bookkeeping.
    void WriteByteItems(const unsigned char* bytes, std::size_t count)
    {
        while (count > 0) {
            const std::size_t run = std::min({count, kMaxRun, static_cast<std::size_t>(m_nLineUnit - m_nItemsOnLine)});
            unsigned char* pos = m_out.Reserve(run * kByteItemSize + kMaxItemSize);
            for (std::size_t i = 0; i < run; ++i)
                pos = PutByteItem(pos, bytes[i]);
            bytes += run;
            count -= run;
            EndItems(pos, static_cast<int>(run));
        }
    }

    // The one-byte item "0xHH," in a single fixed-size copy: the commonest
    // item by far, and the hot spot of both writers.
    static unsigned char* PutByteItem(unsigned char* pos, unsigned char byte)
    {
        std::memcpy(pos, kByteItems[byte].data(), kByteItems[byte].size());
        return pos + kByteItemSize;
    }

    // "0x" and the count bytes as one little-endian number, most significant first.
    static unsigned char* PutHexLittleEndian(unsigned char* pos, const unsigned char* bytes, std::size_t count)
    {
        *pos++ = '0';
        *pos++ = 'x';
        while (count > 0) {
            const auto& pair = hex_tables::kPairs[bytes[--count]];
            *pos++ = static_cast<unsigned char>(pair[0]);
            *pos++ = static_cast<unsigned char>(pair[1]);
        }
        return pos;
    }

private:
    // Ends count items written since BeginItem, none of them past the line's end.
    void EndItems(unsigned char* pos, int count)
    {
        // The count stays within the line unit, so it never overflows however
        // many items the file holds.
        m_nItemsOnLine += count;
        if (m_nItemsOnLine == m_nLineUnit) {
            *pos++ = '\r';
            *pos++ = '\n';
            m_nItemsOnLine = 0;
        }
        m_out.Commit(pos);
    }

    static constexpr std::size_t kByteItemSize = 5;
    // Items per bookkeeping step of WriteByteItems, within one Reserve.
    static constexpr std::size_t kMaxRun = (CByteWriter::kMaxReserve - kMaxItemSize) / kByteItemSize;
    // "0xHH," padded to eight bytes; BeginItem's room covers the padding.
    static constexpr std::array<std::array<char, 8>, 256> kByteItems = [] {
        std::array<std::array<char, 8>, 256> items{};
        for (int i = 0; i < 256; ++i)
            items[i] = {'0', 'x', hex_tables::kPairs[i][0], hex_tables::kPairs[i][1], ',', 0, 0, 0};
        return items;
    }();
    static_assert(kMaxItemSize >= 8);

    CByteWriter& m_out;
    int m_nLineUnit;
    int m_nItemsOnLine = 0;
};
