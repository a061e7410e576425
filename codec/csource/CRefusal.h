#pragma once

#include <string>
#include <string_view>

// The C reader's first refusal, shared by its parts: whichever part
// meets something it cannot read exactly as the compiler does says why, and
// every part stops.
class CRefusal
{
public:
    // line 0: the refusal belongs to no line. Later refusals are ignored.
    void Refuse(long line, std::string_view reason);
    bool Failed() const { return !m_text.empty(); }
    // "line 12: '192+32' is an expression", control bytes escaped.
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};
