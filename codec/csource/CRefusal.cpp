#include "CRefusal.h"

namespace {

constexpr char kUpperHexDigits[] = "0123456789ABCDEF";

} // namespace

void CRefusal::Refuse(long line, std::string_view reason)
{
    if (Failed())
        return;
    std::string text = line > 0 ? "line " + std::to_string(line) + ": " : std::string();
    // A refusal quotes the source, which may be any bytes: keep the message one line.
    for (const char c : reason) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            text += "\\x";
            text += kUpperHexDigits[byte >> 4];
            text += kUpperHexDigits[byte & 0xF];
        } else {
            text += c;
        }
    }
    m_text = text.empty() ? "refused" : text;
}
