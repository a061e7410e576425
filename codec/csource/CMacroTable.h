#pragma once

#include "CPpToken.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct CMacroDefinition
{
    // Names the preprocessor makes itself: __LINE__, and those whose value
    // comes from the build (__FILE__, __DATE__...), refused when used.
    enum class Builtin : unsigned char { None, Line, FromBuild };
    Builtin builtin = Builtin::None;
    bool functionLike = false;
    bool variadic = false;                 // the last parameter is __VA_ARGS__
    std::vector<std::string> parameters;
    std::vector<CPpToken> replacement;     // "##" operators and parameters marked
    std::vector<int> parameterAt;          // per replacement token: its parameter, or -1
};

enum class CNameState { Defined, Undefined, Unknown };

// The macros the file (and the command line, and the compiler) defines, the
// names it undefines for certain, and those whose state is uncertain.
class CMacroTable
{
public:
    // An empty string, or the refusal.
    std::string Define(const std::string& name, CMacroDefinition macro);
    std::string Undefine(const std::string& name);
    // Defined or undefined under a condition not known: neither from now on.
    std::string MakeUncertain(const std::string& name);
    void AddBuiltin(const std::string& name, CMacroDefinition::Builtin builtin);

    // None for a name that is no macro (or uncertain).
    const CMacroDefinition* Find(std::string_view name) const;
    bool IsUncertain(std::string_view name) const;
    // Undefined only when the file or -U removed it; the caller knows the
    // names the compiler keeps for itself.
    CNameState StateOf(std::string_view name) const;

private:
    // Room for one more name costing cost, the name's old entry forgotten.
    std::string MakeRoom(const std::string& name, std::size_t cost);
    void Forget(const std::string& name);

    struct CEntry
    {
        CMacroDefinition macro;
        std::size_t cost = 0;
    };
    std::unordered_map<std::string, CEntry> m_macros;
    std::unordered_set<std::string> m_undefined;
    std::unordered_set<std::string> m_uncertain;
    std::size_t m_nCost = 0;   // of all three, against kMaxDefinitionsCost
};

// The macro that a #define's tokens (after its name) define, or the refusal
// gcc's error would be.
std::string ParseDefinition(std::vector<CPpToken> tokens, CMacroDefinition& macro);
