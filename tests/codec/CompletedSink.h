#pragma once

#include "NumberScanner.h"
#include "ReferenceScanner.h"

#include <string>

// Records completed numbers, and takes runs of one-byte items whole as the
// conversions' sinks do.
class CCompletedSink : public CScannerSink
{
public:
    void OnNumberCompleted(const CScannedNumber& number)
    {
        AppendEvent(numbers, number.kind == CScannedNumber::Kind::Hex ? 'H' : 'D', number.low);
        AppendEvent(numbers, ':', number.high);
    }
    void OnByteItems(const unsigned char* values, std::size_t count)
    {
        for (std::size_t k = 0; k < count; ++k)
            OnNumberCompleted({CScannedNumber::Kind::Hex, values[k], 0});
    }
    std::string numbers;
};
