#include "textarray/ConversionSinks.h"

namespace {

// Byte unit 1 keeps only the low byte of each number, written fastest a run
// of one kind at a time: the kind of all count numbers, with their low
// bytes, or none where the kinds mix.
std::optional<CScannedNumber::Kind> LowBytesOfOneKind(
    const CFoundNumbers& numbers, std::size_t count, unsigned char* bytes)
{
    // Loops without branches, which the compiler makes vector steps.
    std::uint32_t decimals = 0;
    for (std::size_t k = 0; k < count; ++k)
        decimals += numbers.hexDigits[k] == 0;
    if (count == 0 || (decimals != 0 && decimals != count))
        return std::nullopt;
    for (std::size_t k = 0; k < count; ++k)
        bytes[k] = static_cast<unsigned char>(numbers.values[k]);
    return decimals == 0 ? CScannedNumber::Kind::Hex : CScannedNumber::Kind::Decimal;
}

// The complements' items of count low bytes of numbers of one kind.
void WriteComplements(CTextArrayWriter& text, CScannedNumber::Kind kind, const unsigned char* bytes, std::size_t count)
{
    if (kind == CScannedNumber::Kind::Hex)
        text.WriteByteItems(bytes, count, 0xFF);
    else
        text.WriteDecimalComplements(bytes, count);
}

} // namespace

CInvertSink::CComplements::CComplements(CByteUnit byteUnit)
    : m_byteUnit(byteUnit)
    // Decimal numbers are 32-bit, so units above 4 complement all 32 bits.
    , m_nDecimalMask(byteUnit.Bytes() >= 4 ? 0xFFFFFFFFu : (1u << (8 * byteUnit.Bytes())) - 1)
{
}

void CInvertSink::CPart::OnNumbers(const CFoundNumbers& numbers, std::size_t count)
{
    if (m_complements.Unit().IsOneByte() && count <= kScanBatch) {
        const std::size_t at = m_items.size();
        m_items.resize(at + count);
        if (const auto kind = LowBytesOfOneKind(numbers, count, m_items.data() + at)) {
            Extend(kind, count);
            return;
        }
        m_items.resize(at);
    }
    Format(count, [&](unsigned char* pos, std::size_t k) { return m_complements.Put(pos, numbers.At(k)); });
}

void CInvertSink::CPart::OnByteItems(const unsigned char* values, std::size_t count)
{
    if (!m_complements.Unit().IsOneByte()) {
        CompleteEach(*this, values, count);
        return;
    }
    KeepLowBytes(CScannedNumber::Kind::Hex, values, count);
}

void CInvertSink::CPart::HandTo(CInvertSink& sink) const
{
    const unsigned char* items = m_items.data();
    const unsigned char* text = m_text.data();
    const unsigned char* lengths = m_lengths.data();
    for (const CRun& run : m_runs) {
        if (run.lowBytes) {
            WriteComplements(sink.m_text, *run.lowBytes, items, run.count);
            items += run.count;
        } else {
            text += sink.m_text.WriteFormattedItems(text, lengths, run.count);
            lengths += run.count;
        }
    }
}

void CInvertSink::CPart::Clear()
{
    m_runs.clear();
    m_items.clear();
    m_nTextSize = 0;
    m_lengths.clear();
}

void CInvertSink::CPart::Swap(CPart& other) noexcept
{
    m_runs.swap(other.m_runs);
    m_items.swap(other.m_items);
    m_text.swap(other.m_text);
    std::swap(m_nTextSize, other.m_nTextSize);
    m_lengths.swap(other.m_lengths);
}

void CInvertSink::CPart::KeepLowBytes(CScannedNumber::Kind kind, const unsigned char* values, std::size_t count)
{
    m_items.insert(m_items.end(), values, values + count);
    Extend(kind, count);
}

void CInvertSink::OnDecimalLowBytes(const unsigned char* values, std::size_t count)
{
    WriteComplements(m_text, CScannedNumber::Kind::Decimal, values, count);
}

void CInvertSink::OnNumbers(const CFoundNumbers& numbers, std::size_t count)
{
    unsigned char bytes[kScanBatch];
    for (std::size_t first = 0; first < count; first += kScanBatch) {
        const std::size_t batch = std::min(kScanBatch, count - first);
        const CFoundNumbers these{numbers.values + first, numbers.hexDigits + first};
        if (m_complements.Unit().IsOneByte()) {
            if (const auto kind = LowBytesOfOneKind(these, batch, bytes)) {
                WriteComplements(m_text, *kind, bytes, batch);
                continue;
            }
        }
        m_text.WriteItems(
            batch, [this, &these](unsigned char* pos, std::size_t k) { return m_complements.Put(pos, these.At(k)); });
    }
}

void CInvertSink::OnByteItems(const unsigned char* values, std::size_t count)
{
    if (!m_complements.Unit().IsOneByte()) {
        CompleteEach(*this, values, count);
        return;
    }
    m_text.WriteByteItems(values, count, 0xFF);
}
