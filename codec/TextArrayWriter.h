#pragma once

#include "ByteStreams.h"
#include "HexTables.h"

#include <cstddef>

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
    CByteWriter& m_out;
    int m_nLineUnit;
    int m_nItemsOnLine = 0;
};
