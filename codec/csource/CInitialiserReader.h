#pragma once

#include "CDeclarationParser.h"
#include "CFileScope.h"
#include "CInitialiserWalk.h"
#include "CRefusal.h"
#include "CSourceLexer.h"
#include "csource/CSourceOptions.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Reads the preprocessed tokens of a C file: its declarations at file scope
// (typedefs, structures, enums), and the initialiser of one array (the
// first, or the one named), whose elements are evaluated as C does and
// written as the bytes the compiler stores, or refused at the first thing
// it cannot evaluate exactly, with the line and the reason. A text that
// starts with no name is an initialiser's inside pasted alone.
class CInitialiserReader final : public CTokenSink
{
public:
    // Longer than any declaration or element of real code; past them the
    // reader refuses rather than hold more.
    static constexpr std::size_t kMaxDeclarationTokens = 16384;
    static constexpr std::size_t kMaxElementTokens = 4096;
    // Braces a pasted body may nest.
    static constexpr int kMaxPastedDepth = 64;
    // Of a token too long to keep, a message quotes this much.
    static constexpr std::size_t kMaxQuotedToken = 60;

    CInitialiserReader(CElementSink& out, CRefusal& refusal, const CSourceOptions& options);

    // The source's size, or as much of it as was read: it bounds the zeros
    // an array may add.
    void SetSourceSize(std::uint64_t size) { m_nSourceSize = std::max(m_nSourceSize, size); }
    void SetWholeSourceSize(std::uint64_t size)
    {
        SetSourceSize(size);
        m_bWholeSource = true;
    }

    void OnToken(const CToken& token) override;
    void OnStringByte(unsigned char byte) override;
    void OnStringEnd(std::string_view badEscape) override;
    void OnUncertainText(std::string_view condition, long line, bool bracket) override;
    void OnLayoutPragma(std::string_view pragma, long line) override;
    CPlainNumberLimit PlainNumberLimit() const override;
    void OnPlainNumbers(const std::uint32_t* values, std::size_t count, long line) override;

    // After the last token: true when a whole initialiser was read.
    bool Finish();

private:
    enum class State {
        Start,
        Declaration,
        SkipInitialiser,   // another declarator's, up to its ',' or ';'
        SkipBraces,        // a function's body
        AfterEquals,
        Body,
        BareString,        // char s[] = "..." without braces
        Done,
    };
    // Where the body stands between its elements' tokens.
    enum class Place { Open, InString, AfterString, NeedsComma };

    static CExprToken Kept(const CToken& token);
    void StartToken(const CToken& token);
    void DeclarationToken(const CToken& token);
    void DeclarationPunctuator(const CToken& token);
    void OpenBraceInDeclaration(const CToken& token);
    bool OpensTaggedBody() const;
    const CDeclarator EndDeclarator();
    void AfterDeclarator(const CDeclarator& declarator, const CToken& token);
    bool IsTarget(const CDeclarator& declarator) const;
    bool BeginTarget(const CDeclarator& declarator, long line);
    std::string TargetRefusal(const CDeclarator& declarator) const;
    CTypePtr TargetType(const CDeclarator& declarator, std::string& refusal) const;
    void SkipToken(const CToken& token);
    void AfterEqualsToken(const CToken& token);
    void BodyToken(const CToken& token);
    bool BodyPunctuator(const CToken& token);
    void BareStringToken(const CToken& token);
    void PastedBrace(const CToken& token);
    bool StringGoesOn(const CToken& token);
    void BeginString(const CToken& token);
    void EndString();
    void AddElementToken(const CToken& token);
    void EndElement();
    void ApplyDesignator();
    bool ElementDoubt();
    std::string Quoted() const;
    void CloseBody(long line);
    void EnterDone();
    void RefuseNoArray();
    void Refuse(long line, const std::string& reason) { m_refusal.Refuse(line, reason); }

    CRefusal& m_refusal;
    std::optional<CByteUnit> m_byteUnit;
    std::string m_strArrayName;
    CFileScope m_scope;
    CDeclarationParser m_parser;
    CInitialiserWalk m_walk;
    std::uint64_t m_nSourceSize = 0;
    bool m_bWholeSource = false;

    State m_state = State::Start;
    std::vector<CExprToken> m_decl;
    std::optional<CSpecifiers> m_specifiers;
    int m_nDeclParens = 0;
    int m_nDeclBraces = 0;
    std::uint64_t m_nSkipDepth = 0;
    std::string m_strUncertainArray;   // an unknown condition that may hold an array before the target

    bool m_bTargetTakesString = false;   // a char array: "= \"...\"" without braces
    bool m_bPasted = false;
    int m_nPastedDepth = 0;
    Place m_place = Place::Open;
    std::vector<CExprToken> m_element;
    std::size_t m_nElementTokens = 0;
    int m_nElementParens = 0;
    long m_nElementLine = 0;
    long m_nStringLine = 0;
    long m_nLastLine = 0;
};
