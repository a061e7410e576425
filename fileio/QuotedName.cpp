#include "fileio/QuotedName.h"

namespace {

// Length of the well-formed UTF-8 sequence at the start of text, or 0.
std::size_t Utf8SequenceLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;   // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    } else
        return 0;
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

bool IsControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

bool NeedsEscapes(std::string_view name)
{
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t length = Utf8SequenceLength(name.substr(i));
        if (length == 0 || IsControl(static_cast<unsigned char>(name[i])))
            return true;
        i += length;
    }
    return false;
}

void AppendEscaped(std::string& out, unsigned char c)
{
    static const char kDigits[] = "0123456789ABCDEF";
    switch (c) {
    case '\a': out += "\\a"; return;
    case '\b': out += "\\b"; return;
    case '\t': out += "\\t"; return;
    case '\n': out += "\\n"; return;
    case '\v': out += "\\v"; return;
    case '\f': out += "\\f"; return;
    case '\r': out += "\\r"; return;
    case 0x1B: out += "\\E"; return;
    case '\\': out += "\\\\"; return;
    case '\'': out += "\\'"; return;
    default:
        out += "\\x";
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
}

} // namespace

std::string QuotedFileName(std::string_view path)
{
    return path == "/dev/stdin" ? std::string("'-' (standard input)") : QuotedName(path);
}

std::string QuotedName(std::string_view name)
{
    std::string out = NeedsEscapes(name) ? "$'" : "'";
    if (out.size() == 1)
        return out.append(name).append("'");
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t length = Utf8SequenceLength(name.substr(i));
        const auto c = static_cast<unsigned char>(name[i]);
        if (length == 0 || IsControl(c) || c == '\\' || c == '\'') {
            AppendEscaped(out, c);
            ++i;
        } else {
            out.append(name.substr(i, length));
            i += length;
        }
    }
    return out.append("'");
}
