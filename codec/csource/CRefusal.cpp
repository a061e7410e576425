#include "CRefusal.h"

#include <cstdio>

void CRefusal::Refuse(long line, std::string_view reason)
{
    if (Failed())
        return;
    std::string text = line > 0 ? "line " + std::to_string(line) + ": " : std::string();
    // A refusal quotes the source, which may be any bytes: keep the message one line.
    for (const char c : reason) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        } else {
            text += c;
        }
    }
    m_text = text.empty() ? "refused" : text;
}
