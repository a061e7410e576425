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
        , reader(elements, refusal, options)
        , preprocessor(reader, refusal, AbiFor(options.abi), options.macros)
        , lexer(preprocessor)
    {
    }

    CRefusal refusal;   // shared by the parts: the first one wins
    CElementWriter elements;
    CInitialiserReader reader;
    CPreprocessor preprocessor;
    CSourceLexer lexer;
    std::uint64_t fed = 0;
};

CSourceReader::CSourceReader(CByteWriter& out, const CSourceOptions& options, std::optional<std::uint64_t> sourceSize)
    : m_parts(std::make_unique<CParts>(out, options))
{
    if (sourceSize)
        m_parts->reader.SetWholeSourceSize(*sourceSize);
}

CSourceReader::~CSourceReader() = default;

void CSourceReader::Feed(std::span<const unsigned char> text)
{
    // From a pipe the size is known only as it arrives.
    m_parts->fed += text.size();
    m_parts->reader.SetSourceSize(m_parts->fed);
    m_parts->lexer.Feed(text);
}

bool CSourceReader::Failed() const
{
    return m_parts->refusal.Failed();
}

bool CSourceReader::Finish()
{
    m_parts->lexer.Finish();
    m_parts->preprocessor.Finish();
    return m_parts->reader.Finish();
}

const std::string& CSourceReader::Error() const
{
    return m_parts->refusal.Text();
}
