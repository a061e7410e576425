#pragma once

#include "textarray/ConversionSinks.h"
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

// Records what sinks of one-byte units keep of each number, its kind and low
// byte. Taking low bytes, it gets blocks of hex numbers of every width as
// one-byte items and blocks of short decimal ones by their low bytes; not
// taking them, it gets what every other sink gets, which the reference
// checks.
class CLowByteSink
{
public:
    explicit CLowByteSink(bool takesLowBytes)
        : m_bTakesLowBytes(takesLowBytes)
    {
    }

    bool TakesLowBytes() const { return m_bTakesLowBytes; }
    void OnNumberCompleted(const CScannedNumber& number)
    {
        AppendEvent(events, number.kind == CScannedNumber::Kind::Hex ? 'H' : 'D', number.low & 0xFF);
    }
    void OnByteItems(const unsigned char* values, std::size_t count) { CompleteEach(*this, values, count); }

    CLowByteSink MakePart() const { return CLowByteSink(m_bTakesLowBytes); }
    std::size_t Size() const { return events.size(); }
    void HandTo(CLowByteSink& sink) const { sink.events += events; }
    void Clear() { events.clear(); }
    void Swap(CLowByteSink& other) noexcept { events.swap(other.events); }

    std::string events;

private:
    bool m_bTakesLowBytes;
};
