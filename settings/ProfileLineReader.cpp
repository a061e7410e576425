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
    text.clear();
    ending = {};
    if (!m_buffer || m_bFailed)
        return false;
    if (!ReadLine(text, ending)) {
        m_bFailed = true;
        text.clear();
        return false;
    }
    if (m_bFirstLine && text.starts_with(kByteOrderMark)) {
        text.erase(0, kByteOrderMark.size());
        m_bHadByteOrderMark = true;
    }
    m_bFirstLine = false;
    return !text.empty() || !ending.empty();
}

bool CProfileLineReader::ReadLine(std::string& text, std::string_view& ending)
try {
    using Traits = std::streambuf::traits_type;
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
    return true;
} catch (const std::ios_base::failure&) {
    // The file buffer reports a failed read by throwing.
    return false;
}
