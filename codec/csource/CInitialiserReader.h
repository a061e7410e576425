#pragma once

#include "CArrayDeclaration.h"
#include "CIntegerValue.h"
#include "CSourceLexer.h"
#include "textarray/ByteUnit.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Where the initialiser's elements go, as bytes.
class CElementSink
{
public:
    virtual ~CElementSink() = default;
    virtual void PutBytes(const unsigned char* bytes, std::size_t count) = 0;
};

// Reads the elements of a C array's initialiser from the lexer's tokens and
// writes each as the bytes the compiler would store, or stops at the first
// thing it cannot evaluate exactly as C does, with the line and the reason.
//
// The initialiser read is the first one in braces after an "=" (or a string
// after the "=" of a char array); a text that starts with no name is an
// initialiser's inside pasted alone.
class CInitialiserReader final : public CTokenSink
{
public:
    // byteUnit: bytes per element; none for the declared element type's width.
    CInitialiserReader(CElementSink& out, std::optional<CByteUnit> byteUnit)
        : m_out(out)
        , m_byteUnit(byteUnit)
    {
    }

    void OnToken(const CToken& token) override;
    void OnStringByte(unsigned char byte) override;
    void OnStringEnd(std::string_view badEscape) override;
    void OnDirective(std::string_view name, long line) override;
    void OnUncertainText(std::string_view condition, long line, bool bracket) override;
    CPlainNumberLimit PlainNumberLimit() const override;
    void OnPlainNumbers(const std::uint32_t* values, std::size_t count, long line) override;

    // After the lexer's Finish: true when a whole initialiser was read.
    bool Finish();
    bool Failed() const { return !m_strError.empty(); }
    // "line 12: '192+32' is an expression"
    const std::string& Error() const { return m_strError; }

private:
    enum class State {
        Start,
        Declaration,
        AfterEquals,
        Body,         // inside the initialiser's braces
        BareString,   // char s[] = "..." without braces
        Done,
    };

    // Where the body stands between its elements' tokens.
    enum class Place {
        Open,          // an element, a brace or a string may start
        InString,      // a string's bytes are arriving
        AfterString,   // a string ended; an adjacent one would join it
        NeedsComma,    // a brace or a string ended the element: ',' or '}' must follow
    };

    // How an element's value becomes the bytes written.
    enum class Conversion {
        AsWritten,     // the value C gives the literal, at the byte unit
        ToType,        // first converted to the declared element type
        FitOneByte,    // as written, refused unless it fits one byte: no width was named or declared
    };

    // The string being read and the end of the row it fills.
    struct CStringRow
    {
        long line = 0;
        std::uint64_t end = 0;
        bool bounded = false;   // the row has a size: C pads it, else ends the string with a zero
    };

    struct CElementToken
    {
        CTokenKind kind;
        std::string text;
        std::string decoded;
        bool undecodable;
    };

    // More tokens than any element the reader evaluates: such an element is
    // refused, and its text in the message is cut.
    static constexpr std::size_t kMaxElementTokens = 32;

    // A unary sign or a cast before an element's literal.
    struct CPrefix
    {
        char sign;   // '-', '+', or 0 for a cast
        CIntegerType type;
    };
    struct CPrefixes
    {
        std::array<CPrefix, kMaxElementTokens> items;
        std::size_t count = 0;
    };

    // One pair of braces being read: the elements it covers.
    struct CLevel
    {
        std::uint64_t start;
        std::uint64_t end;   // past its last element, when bounded
        bool bounded;
    };

    void DeclarationToken(const CToken& token);
    void AfterEqualsToken(const CToken& token);
    bool BeginInitialiser(long line);
    void BodyToken(const CToken& token);
    bool BodyPunctuator(const CToken& token);
    void BareStringToken(const CToken& token);
    bool StringGoesOn(const CToken& token);
    bool AtElementStart() const { return m_nElementTokens == 0 && m_place == Place::Open; }
    bool InBody() const { return m_state == State::Body || m_state == State::BareString; }
    void BeginString(const CToken& token);
    void EndString();
    void AddElementToken(const CToken& token);
    void EndElement();
    void ApplyDesignator();
    bool EvaluateElement(CIntegerValue& value);
    bool ReadPrefixes(std::size_t& at, CPrefixes& prefixes);
    bool ApplyPrefixes(const CPrefixes& prefixes, CIntegerValue& value);
    bool ReadPrimary(std::size_t& at, CIntegerValue& value);
    void OpenBrace();
    void CloseBrace();
    void Write(CIntegerValue value, bool fromString);
    void PadTo(std::uint64_t position);
    std::uint64_t ElementSpan(std::size_t depth) const;
    std::string ElementText() const;
    void Refuse(long line, const std::string& reason);
    void RefuseElement(const std::string& reason);

    CElementSink& m_out;
    std::optional<CByteUnit> m_byteUnit;
    int m_nWidth = 1;              // bytes written per element
    // The largest literal written as its own value, so unchanged by the
    // element's type and with no refusal to make.
    std::uint32_t m_nPlainMax = 0;
    State m_state = State::Start;
    Place m_place = Place::Open;
    bool m_bPasted = false;        // a body alone, with no declaration
    CArrayDeclaration m_decl;
    Conversion m_conversion = Conversion::AsWritten;
    CIntegerType m_type;           // for Conversion::ToType
    std::vector<CLevel> m_levels;
    std::uint64_t m_nCursor = 0;   // elements written
    std::vector<CElementToken> m_element;
    std::size_t m_nElementTokens = 0;
    long m_nElementLine = 0;
    CStringRow m_string;
    long m_nLastLine = 0;
    std::string m_strError;
};
