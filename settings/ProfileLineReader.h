#pragma once

#include <istream>
#include <string>
#include <string_view>

// Reads a profile text one line at a time, whatever its line ends: LF, CR LF
// or a lone CR, mixed as they come. A UTF-8 byte order mark before the first
// line is taken off and remembered, so that a rewrite can put it back.
class CProfileLineReader
{
public:
    explicit CProfileLineReader(std::istream& in);

    // The next line without its end, and the end as it stood ("" for a last
    // line that has none). False after the last line, and from a read error on.
    bool Next(std::string& text, std::string_view& ending);

    bool HadByteOrderMark() const { return m_bHadByteOrderMark; }

    // Whether reading stopped at an error (a folder, an I/O error) rather
    // than at the end.
    bool Failed() const { return m_bFailed; }

private:
    // Reads up to and without the line end; false at a read error.
    bool ReadLine(std::string& text, std::string_view& ending);

    std::streambuf* m_buffer;
    bool m_bFailed = false;
    bool m_bFirstLine = true;
    bool m_bHadByteOrderMark = false;
};
