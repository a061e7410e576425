#include "textarray/TextArrayWriter.h"

namespace {

void PutWord(unsigned char* pos, std::uint64_t word)
{
    std::memcpy(pos, &word, sizeof word);
}

} // namespace

void CTextArrayWriter::WriteByteItems(const unsigned char* bytes, std::size_t count, unsigned char flip)
{
    while (count > 0) {
        if (m_nItemsOnLine == 0 && WriteWholeLines(bytes, count, flip, 1))
            continue;
        const std::size_t run = std::min({count, kMaxRun, static_cast<std::size_t>(m_nLineUnit - m_nItemsOnLine)});
        unsigned char* pos = m_out.Reserve(run * kByteItemSize + kMaxOverwrite);
        std::size_t i = 0;
        // Sixteen items at a time while sixteen bytes can be read, even
        // for a shorter run: what lies past the run is written over next.
        while (m_formatters.items && i < run && count - i >= kFormattedItems) {
            m_formatters.items(pos, bytes + i, flip);
            const std::size_t taken = std::min(kFormattedItems, run - i);
            pos += taken * kByteItemSize;
            i += taken;
        }
        if constexpr (std::endian::native == std::endian::little) {
            for (; i + 8 <= run; i += 8)
                pos = PutEightByteItems(pos, bytes + i, flip);
        }
        for (; i < run; ++i)
            pos = PutByteItem(pos, bytes[i] ^ flip);
        bytes += run;
        count -= run;
        EndItems(pos, static_cast<int>(run));
    }
}

void CTextArrayWriter::WriteDecimalComplements(const unsigned char* bytes, std::size_t count)
{
    while (count > 0) {
        const std::size_t run
            = std::min({count, kMaxDecimalRun, static_cast<std::size_t>(m_nLineUnit - m_nItemsOnLine)});
        // The last item's fixed-size copy writes past its end.
        unsigned char* pos = m_out.Reserve((run + 1) * kDecimalByteItemSize);
        // Two items a step, so that their loads overlap.
        std::size_t i = 0;
        for (; i + 2 <= run; i += 2) {
            pos = PutDecimalItem(pos, kDecimalComplementItems[bytes[i]]);
            pos = PutDecimalItem(pos, kDecimalComplementItems[bytes[i + 1]]);
        }
        if (i < run)
            pos = PutDecimalItem(pos, kDecimalComplementItems[bytes[i]]);
        bytes += run;
        count -= run;
        EndItems(pos, static_cast<int>(run));
    }
}

std::size_t CTextArrayWriter::WriteFormattedItems(
    const unsigned char* text, const unsigned char* lengths, std::size_t count)
{
    constexpr std::size_t kMostAtOnce = CByteWriter::kMaxReserve - kCopyStep;
    const unsigned char* const first = text;
    while (count > 0) {
        const std::size_t run = std::min(count, static_cast<std::size_t>(m_nLineUnit - m_nItemsOnLine));
        std::size_t size = 0;
        for (std::size_t k = 0; k < run; ++k)
            size += lengths[k];
        for (; size > kMostAtOnce; size -= kMostAtOnce, text += kMostAtOnce) {
            unsigned char* pos = m_out.Reserve(kMostAtOnce);
            std::memcpy(pos, text, kMostAtOnce);
            m_out.Commit(pos + kMostAtOnce);
        }
        // Whole steps of a fixed size, fewer and cheaper than one copy of
        // any size: the room covers what they write past the run.
        unsigned char* pos = m_out.Reserve(CByteWriter::kMaxReserve);
        for (std::size_t at = 0; at < size; at += kCopyStep)
            std::memcpy(pos + at, text + at, kCopyStep);
        EndItems(pos + size, static_cast<int>(run));
        text += size;
        lengths += run;
        count -= run;
    }
    return static_cast<std::size_t>(text - first);
}

void CTextArrayWriter::WriteWideItems(const unsigned char* bytes, std::size_t groups, CByteUnit unit)
{
    const std::size_t width = unit.Size();
    const std::size_t itemSize = 2 * width + 3;
    // A formatter's step may start at the run's last item.
    const std::size_t mostRun = (CByteWriter::kMaxReserve - kFormattedLinesRoom) / itemSize;
    while (groups > 0) {
        if (m_nItemsOnLine == 0 && WriteWholeLines(bytes, groups, 0, width))
            continue;
        const std::size_t run = std::min({groups, mostRun, static_cast<std::size_t>(m_nLineUnit - m_nItemsOnLine)});
        unsigned char* pos = m_out.Reserve(CByteWriter::kMaxReserve);
        std::size_t i = 0;
        while (m_formatters.wide && i < run) {
            Prefetch(bytes + i * width, m_nReadAhead);
            const std::size_t taken = m_formatters.wide(pos, bytes + i * width, run - i, unit.Bytes());
            if (taken == 0)
                break;
            pos += taken * itemSize;
            i += taken;
        }
        for (; i < run; ++i) {
            pos = PutHexLittleEndian(pos, bytes + i * width, width);
            *pos++ = ',';
        }
        bytes += run * width;
        groups -= run;
        EndItems(pos, static_cast<int>(run));
    }
}

bool CTextArrayWriter::WriteWholeLines(
    const unsigned char*& bytes, std::size_t& groups, unsigned char flip, std::size_t width)
{
    if (!m_formatters.lines || width == m_nUnitOfLongLines)
        return false;
    bool tookAny = false;
    for (;;) {
        unsigned char* pos = m_out.Reserve(kFormattedLinesRoom);
        Prefetch(bytes, m_nReadAhead);
        const CFormattedLines taken
            = m_formatters.lines(pos, bytes, groups, flip, m_nLineUnit, static_cast<int>(width));
        if (taken.groups == 0) {
            // A line is too long for a step: not worth a try at each line's start.
            if (groups >= static_cast<std::size_t>(m_nLineUnit))
                m_nUnitOfLongLines = width;
            return tookAny;
        }
        m_out.Commit(pos + taken.size);
        bytes += taken.groups * width;
        groups -= taken.groups;
        tookAny = true;
    }
}

unsigned char* CTextArrayWriter::PutEightByteItems(unsigned char* pos, const unsigned char* bytes, unsigned char flip)
{
    std::uint64_t c[8];
    for (int k = 0; k < 8; ++k)
        std::memcpy(&c[k], kByteItems[bytes[k] ^ flip].data(), sizeof c[k]);
    PutWord(pos, c[0] | c[1] << 40);
    PutWord(pos + 8, c[1] >> 24 | c[2] << 16 | c[3] << 56);
    PutWord(pos + 16, c[3] >> 8 | c[4] << 32);
    PutWord(pos + 24, c[4] >> 32 | c[5] << 8 | c[6] << 48);
    PutWord(pos + 32, c[6] >> 16 | c[7] << 24);
    return pos + 8 * kByteItemSize;
}
