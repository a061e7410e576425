#pragma once

#include "CMacroTable.h"
#include "CPpToken.h"
#include "CRefusal.h"

#include <cstdint>
#include <functional>
#include <vector>

// Expands macros in a run of tokens as gcc does: each invocation's
// replacement, its arguments expanded first unless '#' or '##' takes them,
// is read again with what follows, the macro disabled while its own
// replacement is read (a name met there is never expanded again).
class CMacroExpander
{
public:
    using COutput = std::function<void(CPpToken&&)>;

    CMacroExpander(const CMacroTable& macros, CRefusal& refusal)
        : m_macros(macros)
        , m_refusal(refusal)
    {
    }

    // Sends each finished token to out. Unless atEnd, a call that the
    // tokens end before its ')' is returned instead, to be given again
    // with what follows it.
    std::vector<CPpToken> Expand(std::vector<CPpToken> tokens, bool atEnd, const COutput& out);
    // Tokens read from the file, which allow the expansions theirs.
    void CountRead(std::uint64_t tokens) { m_nRead += tokens; }

private:
    struct CContext
    {
        std::vector<CPpToken> tokens;
        std::size_t at = 0;
        const CMacroDefinition* macro = nullptr;   // none for the input and for an argument
    };
    enum class CCall { Expanded, NoCall, CutShort };

    const CPpToken* Peek(std::size_t floor);
    void Run(std::size_t floor, const COutput& out);
    void ExpandName(std::size_t floor, const CMacroDefinition& macro, CPpToken name, const COutput& out);
    CCall CollectCall(std::size_t floor, std::vector<CPpToken>& call);
    bool SplitArguments(const CMacroDefinition& macro, const CPpToken& name, std::vector<CPpToken>& call,
        std::vector<std::vector<CPpToken>>& args);
    std::vector<CPpToken> Substitute(
        const CMacroDefinition& macro, std::vector<std::vector<CPpToken>>& args, const CPpToken& name);
    std::vector<CPpToken> ExpandArgument(const std::vector<CPpToken>& argument);
    void PasteAll(std::vector<CPpToken>& tokens);
    bool Push(std::vector<CPpToken> tokens, const CMacroDefinition* macro);
    bool Charge(std::size_t cost);
    bool IsDisabled(const CMacroDefinition& macro) const;
    void Refuse(const std::string& reason);

    const CMacroTable& m_macros;
    CRefusal& m_refusal;
    std::vector<CContext> m_stack;
    std::vector<CPpToken> m_cutShort;   // the call the input ended in
    long m_nLine = 0;                   // where the expanded text starts
    bool m_bAtEnd = true;
    std::size_t m_nCost = 0;            // of this expansion
    std::uint64_t m_nRead = 0;
    std::uint64_t m_nMade = 0;          // by all expansions
};
