#pragma once

#include "CAbi.h"
#include "CInitialiserReader.h"
#include "CPreprocessor.h"
#include "CRefusal.h"
#include "CSourceLexer.h"

#include <algorithm>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

// What the C reader's parts make of a source, for the tests of each part.

class CCollectedBytes final : public CElementSink
{
public:
    void PutBytes(const unsigned char* bytes, std::size_t count) override
    {
        m_bytes.append(reinterpret_cast<const char*>(bytes), count);
    }
    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

struct CReading
{
    bool read;
    std::string bytes;
    std::string error;
};

// The reader fed as a file would feed it, through the preprocessor, in
// pieces of the given size, so that every token can be cut anywhere.
inline CReading ReadC(
    const std::string& source, int byteUnit, std::size_t piece = 1 << 20, const std::vector<CMacroOption>& macros = {})
{
    CCollectedBytes out;
    // The command line's c is unit 0: the declared width.
    CInitialiserReader reader(out, byteUnit == 0 ? std::nullopt : CByteUnit::From(byteUnit));
    CRefusal refusal;
    CPreprocessor preprocessor(reader, refusal, AbiFor(CAbiName::X86_64Linux), macros);
    CSourceLexer lexer(preprocessor);
    const auto* bytes = reinterpret_cast<const unsigned char*>(source.data());
    for (std::size_t at = 0; at < source.size() && !reader.Failed() && !refusal.Failed(); at += piece)
        lexer.Feed(std::span<const unsigned char>(bytes + at, std::min(piece, source.size() - at)));
    lexer.Finish();
    preprocessor.Finish();
    const bool read = reader.Finish() && !refusal.Failed();
    return {read, out.Bytes(), refusal.Failed() ? refusal.Text() : reader.Error()};
}
