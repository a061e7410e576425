#pragma once

#include "CAbi.h"
#include "CConditionStack.h"
#include "CMacroExpander.h"
#include "CMacroTable.h"
#include "CRefusal.h"
#include "CSourceLexer.h"
#include "csource/CSourceOptions.h"

#include <vector>

// Between the lexer and the reader: runs the file's own directives as a
// compiler's preprocessor would, with nothing from outside (an #include is
// passed over), and sends on the tokens the compiler would see, macros
// expanded and untaken conditional text left out. Text under a condition
// it cannot evaluate is left out too and reported (OnUncertainText).
// Bounded: past each of its stated caps it refuses.
//
// Caps (CPreprocessorLimits.h), each refused past with one line; a held
// token costs its size plus its text's and bytes' length:
//   32768 macro names known (defined, undefined or uncertain);
//   8 MiB for all definitions and names together, 1 MiB for one directive line;
//   4 MiB of argument tokens collected from the file for one call;
//   256 macro invocations or arguments expanded inside one another;
//   8 MiB of tokens made by one expansion of the file's text;
//   16 tokens made by all expansions per token read, plus 4 M;
//   256 #if groups inside one another.
// The lexer cuts a token past 256 bytes and marks it: such a name is never
// a macro (defining one is refused) and has no known state in an #if.
class CPreprocessor final : public CTokenSink
{
public:
    CPreprocessor(CTokenSink& out, CRefusal& refusal, const CAbi& abi, const std::vector<CMacroOption>& macros);
    ~CPreprocessor() override;

    void OnToken(const CToken& token) override;
    void OnStringByte(unsigned char byte) override;
    void OnStringEnd(std::string_view badEscape) override;
    void OnDirective(std::string_view name, long line) override;
    void OnDirectiveEnd(long line) override;
    CPlainNumberLimit PlainNumberLimit() const override;
    void OnPlainNumbers(const std::uint32_t* values, std::size_t count, long line) override;

    // After the lexer's Finish: sends on what is held (a macro name at the
    // end), refuses an #if never closed.
    void Finish();

private:
    void DefineBefore(std::string_view text, std::string context);
    void Refuse(long line, const std::string& reason);
    bool Stopped() const;
    void AfterHeldToken();
    void ExpandHeld(bool atEnd);
    void HoldToken(CPpToken token);
    void NoteUnknownText(const CToken& token);
    // Adds to what is held; false (refused) past its cap.
    bool CountHeldCost(std::size_t cost);
    bool CountDirectiveCost(std::size_t cost);
    void CollectDirectiveToken(const CToken& token);
    bool RunConditional();
    void OpenIf();
    const CPpToken* GuardName() const;
    CCondition EvaluateDirective();
    void CloseGroup();
    void RunTakenDirective();
    void RunDefine();
    void RunUndef();
    void NoteUnknownDirective();
    const CPpToken* DirectiveName(const char* directive);
    std::string ConditionText() const;

    CTokenSink& m_out;
    CRefusal& m_refusal;
    const CAbi& m_abi;
    CMacroTable m_macros;
    CMacroExpander m_expander;
    CConditionStack m_conditions;

    // The directive line being read.
    bool m_bInDirective = false;
    std::string m_directive;
    long m_nDirectiveLine = 0;
    std::vector<CPpToken> m_directiveTokens;
    std::size_t m_nDirectiveCost = 0;
    bool m_bDirectiveString = false;   // its last token is a string still being read

    // A function-like macro's name and the start of its call, held until
    // the call's ')' (or a token that is not '(') comes.
    std::vector<CPpToken> m_held;
    int m_nHeldDepth = 0;
    std::size_t m_nHeldCost = 0;
    bool m_bHeldString = false;

    // Text under an unknown condition: a '[' seen, the name just before.
    bool m_bUnknownBracket = false;
    std::string m_lastName;

    std::string m_context;   // "-D X" while the command line's macros are read
};
