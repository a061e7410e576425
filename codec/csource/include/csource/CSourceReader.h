#pragma once

#include "textarray/ByteUnit.h"

#include <memory>
#include <optional>
#include <span>
#include <string>

class CByteWriter;

// The C reader's one door: C or C++ source fed chunk by chunk, its first
// array initialiser written as the bytes the compiler stores, or refused at
// the first thing that cannot be evaluated exactly as C does.
class CSourceReader
{
public:
    // byteUnit: bytes per element; none for the declared element type's width.
    CSourceReader(CByteWriter& out, std::optional<CByteUnit> byteUnit);
    ~CSourceReader();
    CSourceReader(const CSourceReader&) = delete;
    CSourceReader& operator=(const CSourceReader&) = delete;

    void Feed(std::span<const unsigned char> text);
    // Refused already: the rest of the source need not be fed.
    bool Failed() const;
    // After the last Feed: true when a whole initialiser was read.
    bool Finish();
    // "line 12: '192+32' is an expression"
    const std::string& Error() const;

private:
    // The lexer, the reader and the writer, each feeding the next; apart so
    // that this header shows none of them.
    struct CParts;
    std::unique_ptr<CParts> m_parts;
};
