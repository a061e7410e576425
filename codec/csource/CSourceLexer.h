#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The C source reader's tokens: what the preprocessor would see after the
// comments and line splices are gone.
enum class CTokenKind { Identifier, Number, Punctuator, Character, String };

struct CToken
{
    CTokenKind kind;
    std::string_view text;   // as written; for a string, only its prefix ("", "u8", "L")
    long line;               // where the token starts, from 1
    // A character literal's bytes with its escapes decoded; empty for the
    // other kinds.
    std::string_view decoded;
    bool undecodable;        // an escape or a line end that the literal cannot hold
    bool spaceBefore = false;   // a blank, comment or line start before it
    // A name that the file defines or undefines under a condition the
    // preprocessor cannot evaluate: its meaning here is not known.
    bool uncertain = false;
    // Longer than the lexer keeps: only its start is in text, so two such
    // tokens may differ though their texts are equal.
    bool truncated = false;
};

// How many plain numbers ("0x41," or "65,") the sink takes at once, and the
// largest; a count of 0 takes none.
struct CPlainNumberLimit
{
    std::uint32_t maxValue;
    std::uint64_t count;
};

class CTokenSink
{
public:
    virtual ~CTokenSink() = default;
    virtual void OnToken(const CToken& token) = 0;
    // A string literal's bytes, escapes decoded, between its OnToken and
    // OnStringEnd; a string can be longer than any buffer.
    virtual void OnStringByte(unsigned char byte) = 0;
    // escape: the first escape the string could not decode, or empty.
    virtual void OnStringEnd(std::string_view badEscape) = 0;
    // A preprocessor line: its directive's name ("define", "if"; empty for
    // "#"), then the rest of its tokens through OnToken (and a string's
    // bytes), then OnDirectiveEnd at the line's end. Only the lexer sends
    // these; the preprocessor sends on none of them.
    virtual void OnDirective(std::string_view /*name*/, long /*line*/) {}
    virtual void OnDirectiveEnd(long /*line*/) {}
    // The preprocessor skipped text under a condition it cannot evaluate
    // (condition: "'#ifdef CONFIG_X'"); bracket: the text held a '[', so an
    // array may have stood there. An #include is reported the same way
    // ("'#include \"x.h\"'"), its bracket false: its text is not seen.
    virtual void OnUncertainText(std::string_view /*condition*/, long /*line*/, bool /*bracket*/) {}
    // A taken '#pragma pack' (or another pragma that lays structures out
    // otherwise): pragma as "'#pragma pack(1)'".
    virtual void OnLayoutPragma(std::string_view /*pragma*/, long /*line*/) {}

    // Most of an array's text is non-negative int literals each followed by
    // a comma: a sink may take such runs as values, without their tokens.
    virtual CPlainNumberLimit PlainNumberLimit() const { return {0, 0}; }
    // Each value within the limit; line: where the last comma stands.
    virtual void OnPlainNumbers(const std::uint32_t* /*values*/, std::size_t /*count*/, long /*line*/) {}
};

// Splits C or C++ source into tokens as it arrives, chunk by chunk, in
// constant memory: comments, line splices and preprocessor lines are
// recognised, nothing is expanded.
class CSourceLexer
{
public:
    explicit CSourceLexer(CTokenSink& sink)
        : m_sink(sink)
    {
    }

    void Feed(std::span<const unsigned char> text);
    // Ends the token that the end of the text cuts.
    void Finish();

    // Longer than any literal, number or name that the reader evaluates:
    // past this a token's text is cut, and the token marked truncated.
    static constexpr std::size_t kMaxTokenText = 256;

private:
    enum class State {
        Code,
        Identifier,
        Number,
        NumberQuote,   // a digit separator or the start of a character literal
        Punctuator,
        LineComment,
        BlockComment,
        BlockCommentStar,
        Literal,       // inside '...' or "..."
    };
    enum class Escape { None, Backslash, Octal, Hex };

    // Past the run of plain numbers the sink takes from at; at when none.
    const unsigned char* ReadPlainNumbers(const unsigned char* at, const unsigned char* end);
    void PutSpliced(unsigned char c);
    void Put(unsigned char c);
    void PutCode(unsigned char c);
    void PutIdentifier(unsigned char c);
    void PutNumber(unsigned char c);
    void PutNumberQuote(unsigned char c);
    void PutPunctuator(unsigned char c);
    void PutComment(unsigned char c);
    void AppendTokenByte(unsigned char c);   // past the longest kept, the token is cut
    void PutLiteral(unsigned char c);
    bool PutEscape(unsigned char c);   // false: c ends the escape and is still to be read
    void LiteralByte(unsigned char byte);
    void BadEscape(std::string_view escape);
    void StartToken(State state, unsigned char c);
    void OpenLiteral(unsigned char quote);
    void EmitSingle(unsigned char c);
    void EndWord();
    void EndPunctuator();
    void EndLiteral(bool terminated);
    void Emit(CTokenKind kind, std::string_view text);
    void EndLine();

    CTokenSink& m_sink;
    State m_state = State::Code;
    long m_nLine = 1;
    long m_nTokenLine = 1;
    std::string m_text;          // the token being read
    std::string m_decoded;       // a character literal's bytes
    std::string m_badEscape;
    bool m_bUndecodable = false;
    char m_quote = 0;
    Escape m_escape = Escape::None;
    unsigned m_nEscapeValue = 0;
    int m_nEscapeDigits = 0;
    std::string m_escapeText;
    bool m_bAtLineStart = true;   // only blanks and comments so far on this line
    bool m_bInDirective = false;
    bool m_bDirectiveNamed = false;
    bool m_bStringToSink = false;   // the open string went out through OnToken
    bool m_bSpaceBefore = true;     // a blank, comment or line start since the last token
    bool m_bTruncated = false;      // the token being read lost bytes to kMaxTokenText
    // A backslash, and the carriage return after it, that may yet splice two lines.
    bool m_bBackslash = false;
    bool m_bBackslashReturn = false;
};
