#include "ProfileLineReader.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

CProfileLineReader::CProfileLineReader(std::istream& in)
    : m_buffer(in.rdbuf())
{
}

bool CProfileLineReader::Next(std::string& text, std::string_view& ending)
{
    using Traits = std::streambuf::traits_type;
    text.clear();
    ending = {};
    if (!m_buffer)
        return false;
    for (Traits::int_type c = m_buffer->sbumpc(); c != Traits::eof(); c = m_buffer->sbumpc()) {
        if (c == '\n') {
            ending = "\n";
            break;
        }
        if (c == '\r') {
            const bool crlf = m_buffer->sgetc() == '\n';
            if (crlf)
                m_buffer->sbumpc();
            ending = crlf ? "\r\n" : "\r";
            break;
        }
        text.push_back(Traits::to_char_type(c));
    }
    if (m_bFirstLine && text.starts_with(kByteOrderMark)) {
        text.erase(0, kByteOrderMark.size());
        m_bHadByteOrderMark = true;
    }
    m_bFirstLine = false;
    return !text.empty() || !ending.empty();
}
