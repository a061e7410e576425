#pragma once

#include "NumberScanner.h"
#include "ReferenceScanner.h"

#include <string>
#include <string_view>

inline void AppendNumber(std::string& events, const CScannedNumber& number)
{
    if (number.kind == CScannedNumber::Kind::Hex) {
        AppendEvent(events, 'H', number.low);
        AppendEvent(events, ':', number.high);
    } else {
        AppendEvent(events, 'D', number.low);
    }
}

// Records the scanner's events in the reference's notation, so that the two
// can be compared as strings.
class CRecordingSink : public CScannerSink
{
public:
    void OnNumberStarted() { events += "S"; }
    void OnHexDigit() { events += "h"; }
    void OnDecimalDigit(std::uint32_t value) { AppendEvent(events, 'd', value); }
    void OnNumberCompleted(const CScannedNumber& number) { AppendNumber(events, number); }
    std::string events;
};

// Records the completed numbers only, for scanners that report nothing else.
class CNumberRecordingSink : public CScannerSink
{
public:
    static constexpr bool kTakesWholeNumbersOnly = true;

    void OnNumberCompleted(const CScannedNumber& number) { AppendNumber(numbers, number); }
    void OnByteItems(const unsigned char* values, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i)
            AppendNumber(numbers, {CScannedNumber::Kind::Hex, values[i], 0});
    }
    std::string numbers;
};

// The completed numbers of a record of events: without starts and digits.
inline std::string CompletedNumbers(std::string_view events)
{
    std::string numbers;
    bool keep = false;
    for (const char c : events) {
        if (c < '0' || c > '9')
            keep = c == 'H' || c == ':' || c == 'D';
        if (keep)
            numbers += c;
    }
    return numbers;
}
