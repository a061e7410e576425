#pragma once

#include "ByteStreams.h"
#include "HexTables.h"

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

    void EndItem(unsigned char* pos)
    {
        // The count stays within the line unit, so it never overflows however
        // many items the file holds.
        if (++m_nItemsOnLine == m_nLineUnit) {
            *pos++ = '\r';
            *pos++ = '\n';
            m_nItemsOnLine = 0;
        }
        m_out.Commit(pos);
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
    static constexpr std::size_t kByteItemSize = 5;
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
