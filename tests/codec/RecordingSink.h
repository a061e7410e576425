#pragma once

#include "NumberScanner.h"
#include "ReferenceScanner.h"

#include <string>

// Records the completed numbers in the reference's notation, so that the two
// can be compared as strings.
class CRecordingSink
{
public:
    void OnNumberCompleted(const CScannedNumber& number)
    {
        if (number.kind == CScannedNumber::Kind::Hex) {
            AppendEvent(events, 'H', number.low);
            AppendEvent(events, ':', number.high);
            AppendEvent(events, '#', number.hexDigits);
        } else {
            AppendEvent(events, 'D', number.low);
        }
    }
    void OnByteItems(const unsigned char* values, std::size_t count) { CompleteEach(*this, values, count); }

    // Another thread's record, appended when handed over.
    CRecordingSink MakePart() const { return {}; }
    std::size_t Size() const { return events.size(); }
    void HandTo(CRecordingSink& sink) const { sink.events += events; }
    void Clear() { events.clear(); }
    void Swap(CRecordingSink& other) noexcept { events.swap(other.events); }

    std::string events;
};
