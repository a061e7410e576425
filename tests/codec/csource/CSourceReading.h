#pragma once

#include "CAbi.h"
#include "CInitialiserReader.h"
#include "CPreprocessor.h"
#include "CRefusal.h"
#include "CSourceLexer.h"
#include "csource/CSourceOptions.h"

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
// byteUnit 0 is the command line's c: the declared width.
inline CReading ReadC(const std::string& source, int byteUnit, std::size_t piece = 1 << 20, CSourceOptions options = {})
{
    CCollectedBytes out;
    CRefusal refusal;
    options.byteUnit = byteUnit == 0 ? std::nullopt : CByteUnit::From(byteUnit);
    CInitialiserReader reader(out, refusal, options);
    reader.SetWholeSourceSize(source.size());
    CPreprocessor preprocessor(reader, refusal, AbiFor(options.abi), options.macros);
    CSourceLexer lexer(preprocessor);
    const auto* bytes = reinterpret_cast<const unsigned char*>(source.data());
    for (std::size_t at = 0; at < source.size() && !refusal.Failed(); at += piece)
        lexer.Feed(std::span<const unsigned char>(bytes + at, std::min(piece, source.size() - at)));
    lexer.Finish();
    preprocessor.Finish();
    const bool read = reader.Finish();
    return {read, out.Bytes(), refusal.Text()};
}

inline CReading ReadC(
    const std::string& source, int byteUnit, std::size_t piece, const std::vector<CMacroOption>& macros)
{
    CSourceOptions options;
    options.macros = macros;
    return ReadC(source, byteUnit, piece, options);
}
