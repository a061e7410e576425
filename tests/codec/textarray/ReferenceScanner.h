#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Appends one event to a record: its tag and, for most, a value.
inline void AppendEvent(std::string& events, char tag, std::uint64_t value)
{
    events += tag;
    events += std::to_string(value);
}

// The number scanner written the slow, literal way: one byte per step, a
// repeat flag, and the state table exactly as the format defines it. The
// codec's scanner must complete the same numbers for every input.
//
// Each number is appended to a string: "H<low>:<high>#<digits>" for hex,
// "D<value>" for decimal.
inline std::string ReferenceScan(std::string_view text)
{
    enum { Idle, Zero, Hex, Decimal } state = Idle;
    std::uint64_t low = 0;
    std::uint32_t high = 0;
    std::uint32_t decimal = 0;
    std::uint32_t digits = 0;
    std::string events;
    const auto completeHex = [&] {
        AppendEvent(events, 'H', low);
        AppendEvent(events, ':', high);
        AppendEvent(events, '#', digits);
    };
    const auto completeDecimal = [&] { AppendEvent(events, 'D', decimal); };

    std::size_t next = 0;
    bool repeat = false;
    unsigned char byte = 0;
    for (;;) {
        if (repeat) {
            repeat = false;
        } else {
            if (next == text.size() || text[next] == '\x1A')
                break;
            byte = static_cast<unsigned char>(text[next++]);
        }
        const bool digit = byte >= '0' && byte <= '9';
        int hexValue = -1;
        if (digit)
            hexValue = byte - '0';
        else if (byte >= 'A' && byte <= 'F')
            hexValue = byte - 'A' + 10;
        else if (byte >= 'a' && byte <= 'f')
            hexValue = byte - 'a' + 10;

        switch (state) {
        case Idle:
            if (byte == '0') {
                decimal = 0;
                state = Zero;
            } else if (digit) {
                decimal = 0;
                repeat = true;
                state = Decimal;
            }
            break;
        case Zero:
            if (byte == 'x' || byte == 'X') {
                low = 0;
                high = 0;
                digits = 0;
                state = Hex;
            } else {
                repeat = true;
                state = Decimal;
            }
            break;
        case Hex:
            if (hexValue >= 0) {
                high = ((high << 4) | static_cast<std::uint32_t>(low >> 60)) & 0xFF;
                low = (low << 4) | static_cast<std::uint64_t>(hexValue);
                ++digits;
            } else {
                completeHex();
                state = Idle;
            }
            break;
        case Decimal:
            if (digit) {
                decimal = decimal * 10 + static_cast<std::uint32_t>(byte - '0');
            } else {
                completeDecimal();
                state = Idle;
            }
            break;
        }
    }
    if (state == Hex)
        completeHex();
    else if (state == Zero || state == Decimal)
        completeDecimal();
    return events;
}
