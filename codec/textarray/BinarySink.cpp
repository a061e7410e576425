#include "textarray/ConversionSinks.h"

template <typename ByteAt>
void CBinarySink::PutEach(std::size_t count, ByteAt byteAt)
{
    for (std::size_t done = 0; done < count;) {
        const std::size_t piece = std::min(count - done, CByteWriter::kMaxReserve);
        unsigned char* pos = m_out.Reserve(piece);
        for (std::size_t i = 0; i < piece; ++i)
            pos[i] = byteAt(done + i);
        m_out.Commit(pos + piece);
        done += piece;
    }
}

void CBinarySink::CPart::OnNumbers(const CFoundNumbers& numbers, std::size_t count)
{
    const std::size_t at = m_bytes.size();
    const std::size_t unit = m_byteUnit.Size();
    m_bytes.resize(at + count * unit);
    for (std::size_t i = 0; i < count; ++i)
        for (std::size_t k = 0; k < unit; ++k)
            m_bytes[at + i * unit + k] = numbers.At(i).Byte(static_cast<int>(k));
}

void CBinarySink::CPart::OnByteItems(const unsigned char* values, std::size_t count)
{
    if (m_byteUnit.IsOneByte())
        m_bytes.insert(m_bytes.end(), values, values + count);
    else
        CompleteEach(*this, values, count);
}

void CBinarySink::CPart::HandTo(CBinarySink& sink) const
{
    // A plain pointer: the vector's own would be read again after every
    // byte written.
    const unsigned char* const bytes = m_bytes.data();
    sink.PutEach(m_bytes.size(), [bytes](std::size_t i) { return bytes[i]; });
}

void CBinarySink::OnNumbers(const CFoundNumbers& numbers, std::size_t count)
{
    if (!m_byteUnit.IsOneByte()) {
        for (std::size_t i = 0; i < count; ++i)
            OnNumberCompleted(numbers.At(i));
        return;
    }
    PutEach(count, [&numbers](std::size_t i) { return static_cast<unsigned char>(numbers.values[i]); });
}

void CBinarySink::OnByteItems(const unsigned char* values, std::size_t count)
{
    if (!m_byteUnit.IsOneByte()) {
        CompleteEach(*this, values, count);
        return;
    }
    PutEach(count, [values](std::size_t i) { return values[i]; });
}
