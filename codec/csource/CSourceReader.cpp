#include "csource/CSourceReader.h"

#include "CInitialiserReader.h"
#include "CSourceLexer.h"
#include "ElementWriter.h"

// Built in this order, each part taking the one before it.
struct CSourceReader::CParts
{
    CParts(CByteWriter& out, std::optional<CByteUnit> byteUnit)
        : elements(out)
        , reader(elements, byteUnit)
        , lexer(reader)
    {
    }

    CElementWriter elements;
    CInitialiserReader reader;
    CSourceLexer lexer;
};

CSourceReader::CSourceReader(
    CByteWriter& out, const CSourceOptions& options, std::optional<std::uint64_t> /*sourceSize*/)
    : m_parts(std::make_unique<CParts>(out, options.byteUnit))
{
}

CSourceReader::~CSourceReader() = default;

void CSourceReader::Feed(std::span<const unsigned char> text)
{
    m_parts->lexer.Feed(text);
}

bool CSourceReader::Failed() const
{
    return m_parts->reader.Failed();
}

bool CSourceReader::Finish()
{
    m_parts->lexer.Finish();
    return m_parts->reader.Finish();
}

const std::string& CSourceReader::Error() const
{
    return m_parts->reader.Error();
}
