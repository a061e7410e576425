#pragma once

#include "fileio/ByteStreams.h"
#include "textarray/ByteUnit.h"
#include "textarray/HexTables.h"
#include "textarray/ItemFormatters.h"
#include "textarray/SpeedLayers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Writes the items of a text array: "0x" plus two upper-case digits per byte,
// or a decimal number, each followed by its separator, with CR LF after every
// line-unit-th item.
class CTextArrayWriter
{
public:
    // "0x", 18 digits, a comma and CR LF.
    static constexpr std::size_t kMaxItemSize = 23;

    // Inline, as the per-item steps are: where the writer is made, the
    // compiler then knows its line unit and destination.
    CTextArrayWriter(CByteWriter& out, int lineUnit)
        : m_out(out)
        , m_nLineUnit(lineUnit)
        , m_formatters(CurrentItemFormatters())
    {
    }

    // Each item is written between BeginItem and EndItem, at most kMaxItemSize bytes.
    unsigned char* BeginItem() { return m_out.Reserve(kMaxItemSize); }

    void EndItem(unsigned char* pos) { EndItems(pos, 1); }

    // One "0xHH," item for every byte XOR flip, with the line breaks: the hot
    // loop of binary to text and of inverting with byte unit 1, kept free of
    // per-item bookkeeping.
    void WriteByteItems(const unsigned char* bytes, std::size_t count, unsigned char flip = 0);

    // The decimal item "N," of every byte's complement, with the line breaks:
    // inverting decimal text with byte unit 1.
    void WriteDecimalComplements(const unsigned char* bytes, std::size_t count);

    // count items, each written by put(pos, k) for k from 0, which returns
    // the item's end: at most kMaxItemSize bytes, its separator included.
    // Runs of items per step, not one item.
    template <typename PutItem>
    void WriteItems(std::size_t count, PutItem put)
    {
        constexpr std::size_t kMostRun = CByteWriter::kMaxReserve / kMaxItemSize;
        for (std::size_t done = 0; done < count;) {
            const std::size_t run
                = std::min({count - done, kMostRun, static_cast<std::size_t>(m_nLineUnit - m_nItemsOnLine)});
            unsigned char* pos = m_out.Reserve(run * kMaxItemSize);
            for (std::size_t k = done; k < done + run; ++k)
                pos = put(pos, k);
            done += run;
            EndItems(pos, static_cast<int>(run));
        }
    }

    // Bytes that WriteFormattedItems may read past the text's end.
    static constexpr std::size_t kCopyStep = 32;

    // count items formatted elsewhere, end to end with their separators,
    // lengths[k] bytes each: copied with the line breaks. Returns the bytes
    // of text taken.
    std::size_t WriteFormattedItems(const unsigned char* text, const unsigned char* lengths, std::size_t count);

    // One "0x" item with a comma for each of the groups of unit bytes (2 to
    // 9), each group one little-endian number, with the line breaks: the hot
    // loop of binary to text with wider units, a run of items per step.
    void WriteWideItems(const unsigned char* bytes, std::size_t groups, CByteUnit unit);

    // The one-byte item "0xHH," in a single fixed-size copy: the commonest
    // item by far, and the hot spot of both writers.
    static unsigned char* PutByteItem(unsigned char* pos, unsigned char byte)
    {
        std::memcpy(pos, kByteItems[byte].data(), kByteItems[byte].size());
        return pos + kByteItemSize;
    }

    // The decimal item of a byte, its comma included, in one fixed-size copy.
    static unsigned char* PutDecimalByteItem(unsigned char* pos, unsigned char byte)
    {
        return PutDecimalItem(pos, kDecimalByteItems[byte]);
    }

    // One load for the text and its size.
    static unsigned char* PutDecimalItem(unsigned char* pos, const std::array<char, 8>& item)
    {
        std::uint64_t entry;
        std::memcpy(&entry, item.data(), sizeof entry);
        std::memcpy(pos, &entry, kDecimalByteItemSize);
        return pos + (std::endian::native == std::endian::little ? entry >> 56 : entry & 0xFF);
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
    // Whole lines with their breaks, as many a vector step as it holds: the
    // writers' commonest shape in the fewest steps. False if it took none.
    bool WriteWholeLines(const unsigned char*& bytes, std::size_t& groups, unsigned char flip, std::size_t width);

    // Eight one-byte items (40 bytes) as five whole words: fewer and aligned
    // stores than eight overlapping ones. Little-endian only.
    static unsigned char* PutEightByteItems(unsigned char* pos, const unsigned char* bytes, unsigned char flip);

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
    // Room past a run's last item that a step may write over: a formatter's
    // whole vectors, or an item padded to eight bytes.
    static constexpr std::size_t kMaxOverwrite = std::max(kFormattedLinesRoom, kMaxItemSize);
    // Items per bookkeeping step of WriteByteItems, within one Reserve.
    // A multiple of 8 for PutEightByteItems.
    static constexpr std::size_t kMaxRun = (CByteWriter::kMaxReserve - kMaxOverwrite) / kByteItemSize / 8 * 8;
    // "0xHH," padded to eight bytes; BeginItem's room covers the padding.
    static constexpr std::array<std::array<char, 8>, 256> kByteItems = [] {
        std::array<std::array<char, 8>, 256> items{};
        for (int i = 0; i < 256; ++i)
            items[i] = {'0', 'x', hex_tables::kPairs[i][0], hex_tables::kPairs[i][1], ',', 0, 0, 0};
        return items;
    }();
    // "ddd," at most, the digits first, and the item's size in the last byte.
    static constexpr std::size_t kDecimalByteItemSize = 4;
    static constexpr std::size_t kMaxDecimalRun = CByteWriter::kMaxReserve / kDecimalByteItemSize - 1;
    static constexpr std::array<std::array<char, 8>, 256> kDecimalByteItems = [] {
        std::array<std::array<char, 8>, 256> items{};
        for (int value = 0; value < 256; ++value) {
            std::size_t size = 0;
            for (int power = value >= 100 ? 100 : value >= 10 ? 10 : 1; power > 0; power /= 10)
                items[value][size++] = static_cast<char>('0' + value / power % 10);
            items[value][size++] = ',';
            items[value][7] = static_cast<char>(size);
        }
        return items;
    }();
    // The same of each byte's complement: no instruction an item to complement it.
    static constexpr std::array<std::array<char, 8>, 256> kDecimalComplementItems = [] {
        std::array<std::array<char, 8>, 256> items{};
        for (std::size_t byte = 0; byte < 256; ++byte)
            items[byte] = kDecimalByteItems[255 - byte];
        return items;
    }();
    static_assert(kMaxItemSize >= 8);
    static_assert(kFormattedLinesRoom <= CByteWriter::kMaxReserve);

    CByteWriter& m_out;
    int m_nLineUnit;
    int m_nItemsOnLine = 0;
    const CItemFormatters m_formatters;
    // The formatters' source comes from memory, as the finders' text does.
    const std::size_t m_nReadAhead = ReadAheadDistance();
    std::size_t m_nUnitOfLongLines = 0;   // whose lines the formatter found too long
};
