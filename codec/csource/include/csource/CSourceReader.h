#pragma once

#include "csource/CSourceOptions.h"

#include <cstdint>

#include <memory>
#include <optional>
#include <span>
#include <string>

class CByteWriter;

// The C reader's one door: C or C++ source fed chunk by chunk, one array's
// initialiser (the first, or the one named) written as the bytes the
// compiler stores, or refused at the first thing that cannot be evaluated
// exactly as C does.
class CSourceReader
{
public:
    // sourceSize: the whole source's, when known; it bounds the zeros an
    // array may add to what its text gives.
    CSourceReader(CByteWriter& out, const CSourceOptions& options, std::optional<std::uint64_t> sourceSize);
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
