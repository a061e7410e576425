#pragma once

#include <string>
#include <utility>

// How a conversion or a scan ended.
enum class EOutcome { Done, Failed, Cancelled };

// What failed, for callers that word a failure their own way.
enum class EFailure {
    None,
    CannotOpenSource,
    CannotReadSource,
    SourceChanged,
    CannotOpenDest,
    CannotWriteDest,
    DestChanged,   // another file took the destination's name during the conversion
    SameFile,
    StandardInputClosed,
    StandardOutputClosed,
    StandardErrorClosed,
    BadByteUnit,
    BadLineUnit,
    OutOfMemory,
    NotACArray,   // C source whose array cannot be read exactly as C reads it
};

// The end of one operation of the engine. A failure says what failed, on
// which file and with which system error, so that nobody has to read the
// English message back; the message is what the command line prints.
struct CConversionResult
{
    EOutcome outcome = EOutcome::Done;
    EFailure failure = EFailure::None;
    std::string path;        // the file concerned; empty when none is
    int errorNumber = 0;     // errno-style; 0 when the system reported none
    std::string message;     // "cannot open source file 'x': No such file or directory"

    static CConversionResult Failed(EFailure failure, std::string path, int errorNumber, std::string message)
    {
        return {EOutcome::Failed, failure, std::move(path), errorNumber, std::move(message)};
    }
    static CConversionResult Cancelled() { return {EOutcome::Cancelled, EFailure::None, {}, 0, "cancelled"}; }

    explicit operator bool() const { return outcome == EOutcome::Done; }
};

// The width in bytes of the widest number of a text array, when the scan is done.
struct CByteUnitScan : CConversionResult
{
    int byteUnit = 0;
};
