#pragma once

#include <cstddef>
#include <optional>

// The byte unit: bytes per number of a text array, 1 to 9. Only From makes
// one, checking the range where a unit enters the engine, so that nothing
// past that point checks it again.
class CByteUnit
{
public:
    static constexpr int kMin = 1;
    // 72 bits: as much of a hex number as the scanner keeps.
    static constexpr int kMax = 9;

    // The unit of that many bytes; none outside kMin to kMax.
    static constexpr std::optional<CByteUnit> From(int bytes)
    {
        if (bytes < kMin || bytes > kMax)
            return std::nullopt;
        return CByteUnit(bytes);
    }

    constexpr int Bytes() const { return m_nBytes; }
    constexpr std::size_t Size() const { return static_cast<std::size_t>(m_nBytes); }
    // Numbers of one byte, the sinks' and writers' fastest case.
    constexpr bool IsOneByte() const { return m_nBytes == 1; }

private:
    explicit constexpr CByteUnit(int bytes)
        : m_nBytes(bytes)
    {
    }

    int m_nBytes;
};
