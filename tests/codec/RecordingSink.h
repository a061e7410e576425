#pragma once

#include "NumberScanner.h"
#include "ReferenceScanner.h"

#include <string>

// Records the scanner's events in the reference's notation, so that the two
// can be compared as strings.
class CRecordingSink : public CScannerSink
{
public:
    void OnNumberStarted() { events += "S"; }
    void OnHexDigit() { events += "h"; }
    void OnDecimalDigit(std::uint32_t value) { AppendEvent(events, 'd', value); }
    void OnNumberCompleted(const CScannedNumber& number)
    {
        if (number.kind == CScannedNumber::Kind::Hex) {
            AppendEvent(events, 'H', number.low);
            AppendEvent(events, ':', number.high);
        } else {
            AppendEvent(events, 'D', number.low);
        }
    }
    std::string events;
};
