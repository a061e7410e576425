#include "CMacroOperators.h"

#include <array>
#include <vector>

namespace {

// Collects what the lexer makes of a pasted spelling.
class CPastedTokens final : public CTokenSink
{
public:
    void OnToken(const CToken& token) override { m_tokens.push_back(KeepToken(token)); }
    void OnStringByte(unsigned char /*byte*/) override {}
    void OnStringEnd(std::string_view /*badEscape*/) override {}
    void OnDirective(std::string_view /*name*/, long /*line*/) override { m_bDirective = true; }
    const std::vector<CPpToken>& Tokens() const { return m_tokens; }
    bool Directive() const { return m_bDirective; }

private:
    std::vector<CPpToken> m_tokens;
    bool m_bDirective = false;
};

// An uncertain name, met after expansion, may have been a macro.
std::string UncertainOperand(std::span<const CPpToken> tokens, const char* op)
{
    for (const CPpToken& token : tokens)
        if (token.uncertain)
            return Concat("'", op, "' of '", token.text, "', a name defined under a condition not known, is not read");
    return {};
}

// A token as written; strings are kept as bytes only, so they have none.
bool Spell(const CPpToken& token, std::string& spelling)
{
    if (token.kind == CTokenKind::String || token.truncated)
        return false;
    spelling += token.text;
    return true;
}

} // namespace

std::string Stringify(std::span<const CPpToken> argument, CPpToken& result)
{
    result = CPpToken{};
    result.kind = CTokenKind::String;
    if (std::string refusal = UncertainOperand(argument, "#"); !refusal.empty())
        return refusal;
    for (const CPpToken& token : argument) {
        std::string spelling;
        if (!Spell(token, spelling))
            return "'#' of an argument holding a string or a long token is not read";
        if (token.spaceBefore && !result.decoded.empty())
            result.decoded += ' ';
        for (const char c : spelling) {
            // Only a character literal's quotes and backslashes need one.
            if (token.kind == CTokenKind::Character && (c == '"' || c == '\\'))
                result.decoded += '\\';
            result.decoded += c;
        }
    }
    return {};
}

std::string Paste(const CPpToken& left, const CPpToken& right, CPpToken& result)
{
    if (left.placemarker || right.placemarker) {
        result = left.placemarker ? right : left;
        return {};
    }
    if (std::string refusal = UncertainOperand(std::array{left, right}, "##"); !refusal.empty())
        return refusal;
    std::string spelling;
    if (!Spell(left, spelling) || !Spell(right, spelling))
        return "'##' with a string or a long token is not read";
    const std::string refusal
        = "pasting '" + spelling.substr(0, left.text.size()) + "' and '" + right.text + "' does not give a valid token";
    // "#" and "##" would open a directive at the lexer's line start.
    if (spelling == "#" || spelling == "##") {
        result = left;
        result.text = spelling;
        return {};
    }
    CPastedTokens pasted;
    CSourceLexer lexer(pasted);
    lexer.Feed(std::span(reinterpret_cast<const unsigned char*>(spelling.data()), spelling.size()));
    lexer.Finish();
    if (pasted.Directive() || pasted.Tokens().size() != 1 || pasted.Tokens()[0].kind == CTokenKind::String
        || pasted.Tokens()[0].undecodable)
        return refusal;
    result = pasted.Tokens()[0];
    result.line = left.line;
    result.spaceBefore = left.spaceBefore;
    return {};
}
