#pragma once

#include "CSourceLexer.h"

#include <string>
#include <string_view>

// Text made of parts (gcc 12 warns falsely on a literal + std::string).
template <class... Parts>
std::string Concat(const Parts&... parts)
{
    std::string text;
    (text.append(parts), ...);
    return text;
}

// A token the preprocessor keeps (in a definition, an argument or an
// expansion), owning its text and bytes.
struct CPpToken
{
    CTokenKind kind = CTokenKind::Punctuator;
    std::string text;        // as CToken::text; a string's prefix
    std::string decoded;     // a character literal's or a string's bytes
    std::string badEscape;   // a string's first escape not decoded
    long line = 0;
    bool undecodable = false;
    bool spaceBefore = false;
    bool truncated = false;
    bool uncertain = false;
    // A macro's name met inside its own expansion: never expanded again.
    bool noExpand = false;
    // Inside a replacement: "##" as the operator, an empty argument's place.
    bool pasteOperator = false;
    bool placemarker = false;
};

inline CPpToken KeepToken(const CToken& token)
{
    CPpToken kept;
    kept.kind = token.kind;
    kept.text = token.text;
    kept.decoded = token.decoded;
    kept.line = token.line;
    kept.undecodable = token.undecodable;
    kept.spaceBefore = token.spaceBefore;
    kept.truncated = token.truncated;
    kept.uncertain = token.uncertain;
    return kept;
}

// The view of a kept token the sinks take; a string's bytes go apart.
inline CToken ViewOf(const CPpToken& token)
{
    CToken view{token.kind, token.text, token.line, token.decoded, token.undecodable};
    if (token.kind == CTokenKind::String)
        view.decoded = {};
    view.spaceBefore = token.spaceBefore;
    view.uncertain = token.uncertain;
    view.truncated = token.truncated;
    return view;
}

// What holding the token costs, for the caps.
inline std::size_t CostOf(const CPpToken& token)
{
    return sizeof(CPpToken) + token.text.size() + token.decoded.size() + token.badEscape.size();
}

inline bool IsPunctuator(const CPpToken& token, std::string_view text)
{
    return token.kind == CTokenKind::Punctuator && !token.pasteOperator && !token.placemarker && token.text == text;
}

// How a token changes the depth of parentheses: 1, -1 or 0.
inline int ParenthesisStep(const CPpToken& token)
{
    return IsPunctuator(token, "(") ? 1 : IsPunctuator(token, ")") ? -1 : 0;
}

// Sends a kept token on, a string's bytes with it.
inline void SendToken(CTokenSink& sink, const CPpToken& token)
{
    sink.OnToken(ViewOf(token));
    if (token.kind != CTokenKind::String)
        return;
    for (const char byte : token.decoded)
        sink.OnStringByte(static_cast<unsigned char>(byte));
    sink.OnStringEnd(token.badEscape);
}
