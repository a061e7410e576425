#include "csource/CSourceReader.h"

#include "CInitialiserReader.h"
#include "CPreprocessor.h"
#include "CRefusal.h"
#include "CSourceLexer.h"
#include "ElementWriter.h"

// Built in this order, each part taking the one before it.
struct CSourceReader::CParts
{
    CParts(CByteWriter& out, const CSourceOptions& options)
        : elements(out)
        , reader(elements, options.byteUnit)
        , preprocessor(reader, refusal, AbiFor(options.abi), options.macros)
        , lexer(preprocessor)
    {
    }

    CRefusal refusal;   // shared by the parts: the first one wins
    CElementWriter elements;
    CInitialiserReader reader;
    CPreprocessor preprocessor;
    CSourceLexer lexer;
};

CSourceReader::CSourceReader(
    CByteWriter& out, const CSourceOptions& options, std::optional<std::uint64_t> /*sourceSize*/)
    : m_parts(std::make_unique<CParts>(out, options))
{
}

CSourceReader::~CSourceReader() = default;

void CSourceReader::Feed(std::span<const unsigned char> text)
{
    m_parts->lexer.Feed(text);
}

bool CSourceReader::Failed() const
{
    return m_parts->refusal.Failed() || m_parts->reader.Failed();
}

bool CSourceReader::Finish()
{
    m_parts->lexer.Finish();
    m_parts->preprocessor.Finish();
    const bool read = m_parts->reader.Finish();
    return read && !m_parts->refusal.Failed();
}

const std::string& CSourceReader::Error() const
{
    return m_parts->refusal.Failed() ? m_parts->refusal.Text() : m_parts->reader.Error();
}
