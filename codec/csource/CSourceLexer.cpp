#include "CSourceLexer.h"

#include "textarray/HexTables.h"

#include <algorithm>
#include <array>

namespace {

// The punctuators longer than one character that a C or C++ header may hold;
// "=" must not be taken out of "==" or "+=".
constexpr std::array<std::string_view, 24> kLongPunctuators = {"...", "<<=", ">>=", "->", "++", "--", "<<", ">>",
    "<=", ">=", "==", "!=", "&&", "||", "*=", "/=", "%=", "+=", "-=", "&=", "^=", "|=", "##", "::"};

constexpr std::size_t kMaxCharacterBytes = 8;

// Punctuators that start no longer one, emitted at once: most of an array's
// text is numbers and these.
bool IsAlwaysSingle(unsigned char c)
{
    return c == ',' || c == '{' || c == '}' || c == ';' || c == '(' || c == ')' || c == '[' || c == ']' || c == '?'
        || c == '~';
}

bool IsLongPunctuatorStart(std::string_view text)
{
    return std::any_of(kLongPunctuators.begin(), kLongPunctuators.end(),
        [text](std::string_view p) { return p.size() >= text.size() && p.substr(0, text.size()) == text; });
}

bool IsLongPunctuator(std::string_view text)
{
    return std::find(kLongPunctuators.begin(), kLongPunctuators.end(), text) != kLongPunctuators.end();
}

using hex_tables::IsDecimalDigit;
using hex_tables::kNotADigit;

bool IsOctalDigit(unsigned char c)
{
    return static_cast<unsigned char>(c - '0') < 8;
}

// Letters, digits, '_' and any byte of a UTF-8 sequence.
bool IsWordByte(unsigned char c)
{
    return IsDecimalDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
}

constexpr bool IsBlank(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

bool IsLiteralPrefix(std::string_view word)
{
    for (std::string_view prefix : {"L", "u", "U", "u8", "R", "LR", "uR", "UR", "u8R"})
        if (word == prefix)
            return true;
    return false;
}

// What each byte is to a run of plain numbers besides its digits: only a
// blank, a line end or a comma ends a number for sure.
enum class PlainClass : unsigned char { Other, Blank, Newline, Comma };

constexpr std::array<PlainClass, 256> kPlainClass = [] {
    std::array<PlainClass, 256> classes{};
    classes.fill(PlainClass::Other);
    for (int c = 0; c < 256; ++c)
        if (IsBlank(static_cast<unsigned char>(c)))
            classes[c] = PlainClass::Blank;
    classes['\n'] = PlainClass::Newline;
    classes[','] = PlainClass::Comma;
    return classes;
}();

bool IsPlainBlank(unsigned char c)
{
    return kPlainClass[c] == PlainClass::Blank || kPlainClass[c] == PlainClass::Newline;
}

// A literal that is an int of at most maxValue as written: hex or decimal,
// no octal, suffix or separator. Its end, or nullptr for anything else,
// which the token path reads instead.
const unsigned char* ReadPlainNumber(
    const unsigned char* at, const unsigned char* end, std::uint32_t maxValue, std::uint32_t& value)
{
    constexpr std::ptrdiff_t kMaxHexDigits = 8;
    constexpr std::ptrdiff_t kMaxDecimalDigits = 10;
    std::uint64_t sum = 0;
    const unsigned char* digits = at;
    if (end - at > 2 && at[0] == '0' && (at[1] == 'x' || at[1] == 'X')) {
        digits += 2;
        at = digits;
        for (int digit; at < end && at - digits <= kMaxHexDigits && (digit = hex_tables::HexValueOf(*at)) != kNotADigit;
            ++at)
            sum = sum * 16 + static_cast<unsigned>(digit);
        if (at == digits || at - digits > kMaxHexDigits)
            return nullptr;
    } else if (*at == '0') {
        ++at;
    } else {
        for (; at < end && at - digits <= kMaxDecimalDigits && IsDecimalDigit(*at); ++at)
            sum = sum * 10 + static_cast<unsigned>(*at - '0');
        if (at - digits > kMaxDecimalDigits)
            return nullptr;
    }
    // Only a blank or a comma ends it for sure; a letter, '.', quote or
    // backslash would make it a longer token.
    if (at == end || kPlainClass[*at] == PlainClass::Other || sum > maxValue)
        return nullptr;
    value = static_cast<std::uint32_t>(sum);
    return at;
}

int SimpleEscape(unsigned char c)
{
    switch (c) {
    case 'n': return '\n';
    case 't': return '\t';
    case 'r': return '\r';
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'v': return '\v';
    case '\\':
    case '\'':
    case '"':
    case '?': return c;
    default: return -1;
    }
}

} // namespace

void CSourceLexer::Feed(std::span<const unsigned char> text)
{
    const unsigned char* at = text.data();
    const unsigned char* const end = at + text.size();
    while (at < end) {
        if (!m_bBackslash) {
            // The common runs go by without the byte-by-byte states: the rest
            // of a number or name, and blanks between tokens.
            if (m_state == State::Number || m_state == State::Identifier) {
                const unsigned char* run = at;
                while (run < end && IsWordByte(*run))
                    ++run;
                if (run > at) {
                    const std::size_t room = kMaxTokenText - std::min(kMaxTokenText, m_text.size());
                    m_bTruncated = m_bTruncated || static_cast<std::size_t>(run - at) > room;
                    m_text.append(
                        reinterpret_cast<const char*>(at), std::min(room, static_cast<std::size_t>(run - at)));
                    at = run;
                    continue;
                }
            } else if (m_state == State::Code) {
                if (IsBlank(*at)) {
                    m_bSpaceBefore = true;
                    ++at;
                    continue;
                }
                if (IsDecimalDigit(*at) && !m_bInDirective) {
                    const unsigned char* after = ReadPlainNumbers(at, end);
                    if (after != at) {
                        at = after;
                        continue;
                    }
                }
            }
        }
        PutSpliced(*at++);
    }
}

// Each element whole in this chunk: a number, blanks, a comma. Whatever is
// not, or is cut by the chunk's end, is left to the token path.
const unsigned char* CSourceLexer::ReadPlainNumbers(const unsigned char* at, const unsigned char* end)
{
    std::array<std::uint32_t, 1024> values;
    for (CPlainNumberLimit limit = m_sink.PlainNumberLimit(); limit.count > 0; limit = m_sink.PlainNumberLimit()) {
        const std::size_t most = static_cast<std::size_t>(std::min<std::uint64_t>(values.size(), limit.count));
        std::size_t count = 0;
        long lines = m_nLine;
        long takenLines = m_nLine;
        const unsigned char* taken = at;
        for (const unsigned char* p = at; count < most;) {
            for (; p < end && IsPlainBlank(*p); ++p)
                lines += *p == '\n';
            if (p == end || !IsDecimalDigit(*p))
                break;
            p = ReadPlainNumber(p, end, limit.maxValue, values[count]);
            if (p == nullptr)
                break;
            for (; p < end && IsPlainBlank(*p); ++p)
                lines += *p == '\n';
            if (p == end || *p != ',')
                break;
            taken = ++p;
            takenLines = lines;
            ++count;
        }
        if (count == 0)
            break;
        m_sink.OnPlainNumbers(values.data(), count, takenLines);
        m_nLine = takenLines;
        m_bAtLineStart = false;
        m_bSpaceBefore = false;   // the run ends right after a comma
        at = taken;
        if (count < most)
            break;
    }
    return at;
}

void CSourceLexer::Finish()
{
    if (m_bBackslash) {
        m_bBackslash = false;
        Put('\\');
        if (m_bBackslashReturn)
            Put('\r');
        m_bBackslashReturn = false;
    }
    switch (m_state) {
    case State::Identifier:
    case State::Number: EndWord(); break;
    case State::NumberQuote:
        EndWord();
        StartToken(State::Literal, '\'');
        EndLiteral(false);
        break;
    case State::Punctuator: EndPunctuator(); break;
    case State::Literal: EndLiteral(false); break;
    default: break;
    }
    m_state = State::Code;
    EndLine();
}

// A backslash at the end of a line joins it to the next one before anything
// else is read, inside comments and literals too.
void CSourceLexer::PutSpliced(unsigned char c)
{
    if (m_bBackslash) {
        if (c == '\n') {
            m_bBackslash = m_bBackslashReturn = false;
            ++m_nLine;
            return;
        }
        if (c == '\r' && !m_bBackslashReturn) {
            m_bBackslashReturn = true;
            return;
        }
        const bool held = m_bBackslashReturn;
        m_bBackslash = m_bBackslashReturn = false;
        Put('\\');
        if (held)
            Put('\r');
    }
    if (c == '\\') {
        m_bBackslash = true;
        return;
    }
    Put(c);
    if (c == '\n')
        ++m_nLine;
}

void CSourceLexer::Put(unsigned char c)
{
    switch (m_state) {
    case State::Code: PutCode(c); return;
    case State::Identifier: PutIdentifier(c); return;
    case State::Number: PutNumber(c); return;
    case State::NumberQuote: PutNumberQuote(c); return;
    case State::Punctuator: PutPunctuator(c); return;
    case State::LineComment:
    case State::BlockComment:
    case State::BlockCommentStar: PutComment(c); return;
    case State::Literal: PutLiteral(c); return;
    }
}

void CSourceLexer::AppendTokenByte(unsigned char c)
{
    if (m_text.size() < kMaxTokenText)
        m_text += static_cast<char>(c);
    else
        m_bTruncated = true;
}

void CSourceLexer::PutIdentifier(unsigned char c)
{
    if (IsWordByte(c)) {
        AppendTokenByte(c);
        return;
    }
    if ((c == '\'' || c == '"') && IsLiteralPrefix(m_text)) {
        OpenLiteral(c);
        return;
    }
    EndWord();
    PutCode(c);
}

// A preprocessing number takes letters, digits, '.' and the sign of an exponent.
void CSourceLexer::PutNumber(unsigned char c)
{
    if (IsWordByte(c) || c == '.'
        || ((c == '+' || c == '-') && std::string_view("eEpP").find(m_text.back()) != std::string_view::npos)) {
        AppendTokenByte(c);
        return;
    }
    if (c == '\'') {
        m_state = State::NumberQuote;
        return;
    }
    EndWord();
    PutCode(c);
}

// After a number and a quote: a digit separator if a digit or letter follows,
// else the quote opens a character literal.
void CSourceLexer::PutNumberQuote(unsigned char c)
{
    if (IsWordByte(c)) {
        AppendTokenByte('\'');
        AppendTokenByte(c);
        m_state = State::Number;
        return;
    }
    EndWord();
    StartToken(State::Literal, '\'');
    Put(c);
}

void CSourceLexer::PutPunctuator(unsigned char c)
{
    if (m_text == "/" && (c == '/' || c == '*')) {
        m_state = c == '/' ? State::LineComment : State::BlockComment;
        m_bSpaceBefore = true;
        return;
    }
    if (m_text == "." && IsDecimalDigit(c)) {
        m_text += static_cast<char>(c);
        m_state = State::Number;
        return;
    }
    if (IsLongPunctuatorStart(m_text + static_cast<char>(c))) {
        m_text += static_cast<char>(c);
        return;
    }
    EndPunctuator();
    PutCode(c);
}

void CSourceLexer::PutComment(unsigned char c)
{
    if (m_state == State::LineComment) {
        if (c == '\n') {
            m_state = State::Code;
            EndLine();
        }
    } else if (c == '*') {
        m_state = State::BlockCommentStar;
    } else if (m_state == State::BlockCommentStar) {
        m_state = c == '/' ? State::Code : State::BlockComment;
    }
}

void CSourceLexer::PutCode(unsigned char c)
{
    m_state = State::Code;
    if (c == '\n') {
        EndLine();
        return;
    }
    if (IsBlank(c)) {
        m_bSpaceBefore = true;
        return;
    }
    if (c == '#' && m_bAtLineStart && !m_bInDirective) {
        m_bInDirective = true;
        m_bDirectiveNamed = false;
        m_bAtLineStart = false;
        return;
    }
    if (IsDecimalDigit(c))
        StartToken(State::Number, c);
    else if (IsWordByte(c))
        StartToken(State::Identifier, c);
    else if (c == '\'' || c == '"')
        StartToken(State::Literal, c);
    else if (!IsAlwaysSingle(c))
        StartToken(State::Punctuator, c);
    else
        EmitSingle(c);
}

void CSourceLexer::EmitSingle(unsigned char c)
{
    m_bAtLineStart = false;
    m_nTokenLine = m_nLine;
    Emit(CTokenKind::Punctuator, std::string_view(reinterpret_cast<const char*>(&c), 1));
}

void CSourceLexer::StartToken(State state, unsigned char c)
{
    m_bAtLineStart = false;
    m_state = state;
    m_nTokenLine = m_nLine;
    m_text.clear();
    m_bTruncated = false;
    if (state != State::Literal) {
        m_text += static_cast<char>(c);
        return;
    }
    OpenLiteral(c);
}

// m_text holds the literal's prefix, if any.
void CSourceLexer::OpenLiteral(unsigned char quote)
{
    m_state = State::Literal;
    m_quote = static_cast<char>(quote);
    m_decoded.clear();
    m_badEscape.clear();
    m_bUndecodable = false;
    if (m_text.find('R') != std::string::npos)
        BadEscape("a raw string");
    if (quote == '\'') {
        AppendTokenByte(quote);
        return;
    }
    // A string as a directive's name is no name: it goes as an invalid one.
    m_bStringToSink = !m_bInDirective || m_bDirectiveNamed;
    Emit(CTokenKind::String, m_bStringToSink ? std::string_view(m_text) : std::string_view("\""));
}

void CSourceLexer::PutLiteral(unsigned char c)
{
    if (m_quote == '\'')
        AppendTokenByte(c);
    if (m_escape != Escape::None && PutEscape(c))
        return;
    if (c == '\\') {
        m_escape = Escape::Backslash;
        m_escapeText.assign(1, '\\');
    } else if (c == static_cast<unsigned char>(m_quote)) {
        EndLiteral(true);
    } else if (c == '\n') {
        if (m_quote == '\'')
            m_text.pop_back();
        EndLiteral(false);
        EndLine();
    } else {
        LiteralByte(c);
    }
}

bool CSourceLexer::PutEscape(unsigned char c)
{
    const int digit = hex_tables::HexValueOf(c);
    switch (m_escape) {
    case Escape::Backslash:
        m_escapeText += static_cast<char>(c);
        m_escape = Escape::None;
        if (const int simple = SimpleEscape(c); simple >= 0) {
            LiteralByte(static_cast<unsigned char>(simple));
        } else if (IsOctalDigit(c)) {
            m_escape = Escape::Octal;
            m_nEscapeValue = c - '0';
            m_nEscapeDigits = 1;
        } else if (c == 'x') {
            m_escape = Escape::Hex;
            m_nEscapeValue = 0;
            m_nEscapeDigits = 0;
        } else {
            BadEscape(m_escapeText);
        }
        return true;
    case Escape::Octal:
        if (IsOctalDigit(c) && m_nEscapeDigits < 3) {
            m_escapeText += static_cast<char>(c);
            m_nEscapeValue = m_nEscapeValue * 8 + (c - '0');
            ++m_nEscapeDigits;
            return true;
        }
        break;
    case Escape::Hex:
        if (digit != kNotADigit) {
            if (m_escapeText.size() < kMaxTokenText)
                m_escapeText += static_cast<char>(c);
            // Capped: past a byte it is refused whatever follows.
            m_nEscapeValue = std::min(m_nEscapeValue * 16 + static_cast<unsigned>(digit), 0x100u);
            ++m_nEscapeDigits;
            return true;
        }
        break;
    case Escape::None: return false;
    }
    m_escape = Escape::None;
    if (m_nEscapeValue > 0xFF || m_nEscapeDigits == 0)
        BadEscape(m_escapeText);
    else
        LiteralByte(static_cast<unsigned char>(m_nEscapeValue));
    return false;
}

void CSourceLexer::LiteralByte(unsigned char byte)
{
    if (m_quote != '\'') {
        if (m_bStringToSink)
            m_sink.OnStringByte(byte);
    } else if (m_decoded.size() < kMaxCharacterBytes) {
        m_decoded += static_cast<char>(byte);
    } else {
        m_bUndecodable = true;
    }
}

void CSourceLexer::BadEscape(std::string_view escape)
{
    if (!m_bUndecodable)
        m_badEscape = escape;
    m_bUndecodable = true;
}

void CSourceLexer::EndWord()
{
    const bool number = m_state == State::Number || m_state == State::NumberQuote;
    Emit(number ? CTokenKind::Number : CTokenKind::Identifier, m_text);
    m_state = State::Code;
}

void CSourceLexer::EndPunctuator()
{
    m_state = State::Code;
    if (m_text.size() == 1 || IsLongPunctuator(m_text)) {
        Emit(CTokenKind::Punctuator, m_text);
        return;
    }
    // The start of a longer one that did not come, as "..": one by one.
    const std::string text = m_text;
    for (char c : text)
        Emit(CTokenKind::Punctuator, std::string_view(&c, 1));
}

void CSourceLexer::EndLiteral(bool terminated)
{
    if (m_escape != Escape::None) {
        m_escape = Escape::None;
        BadEscape(m_escapeText);
    }
    if (!terminated)
        BadEscape("a line end");
    m_state = State::Code;
    if (m_quote == '\'')
        Emit(CTokenKind::Character, m_text);
    else if (m_bStringToSink)
        m_sink.OnStringEnd(m_bUndecodable ? std::string_view(m_badEscape) : std::string_view());
}

void CSourceLexer::Emit(CTokenKind kind, std::string_view text)
{
    if (m_bInDirective && !m_bDirectiveNamed) {
        m_sink.OnDirective(text, m_nTokenLine);
        m_bDirectiveNamed = true;
        m_bSpaceBefore = false;
        return;
    }
    const bool character = kind == CTokenKind::Character;
    CToken token{kind, text, m_nTokenLine, character ? std::string_view(m_decoded) : std::string_view(),
        character && m_bUndecodable};
    token.spaceBefore = m_bSpaceBefore;
    token.truncated = m_bTruncated && kind != CTokenKind::Punctuator;
    m_bSpaceBefore = false;
    m_sink.OnToken(token);
}

void CSourceLexer::EndLine()
{
    if (m_bInDirective) {
        if (!m_bDirectiveNamed)
            m_sink.OnDirective("", m_nLine);
        m_sink.OnDirectiveEnd(m_nLine);
    }
    m_bInDirective = false;
    m_bAtLineStart = true;
    m_bSpaceBefore = true;
}
