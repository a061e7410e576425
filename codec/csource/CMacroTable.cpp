#include "CMacroTable.h"

#include "CPreprocessorLimits.h"

#include <algorithm>

namespace {

std::string Quoted(std::string_view text)
{
    return Concat("'", text, "'");
}

// Past the name: "(a, b, ...)" as parameters; tokens[at] follows ")".
std::string ReadParameters(const std::vector<CPpToken>& tokens, std::size_t& at, CMacroDefinition& macro)
{
    for (++at; at < tokens.size(); ++at) {
        const CPpToken& token = tokens[at];
        if (IsPunctuator(token, ")") && macro.parameters.empty())
            return (++at, std::string());
        if (IsPunctuator(token, "...")) {
            macro.variadic = true;
            macro.parameters.emplace_back("__VA_ARGS__");
        } else if (token.kind == CTokenKind::Identifier && !token.truncated && token.text != "__VA_ARGS__") {
            if (std::find(macro.parameters.begin(), macro.parameters.end(), token.text) != macro.parameters.end())
                return "the parameter " + Quoted(token.text) + " is given twice";
            macro.parameters.push_back(token.text);
        } else {
            return Quoted(token.text) + " cannot be a macro parameter";
        }
        if (++at < tokens.size() && IsPunctuator(tokens[at], ")"))
            return (++at, std::string());
        if (at >= tokens.size() || !IsPunctuator(tokens[at], ",") || macro.variadic)
            return macro.variadic && at < tokens.size() && tokens[at].kind == CTokenKind::Identifier
                ? "a named variadic parameter is not read"
                : "the parameter list is not closed";
    }
    return "the parameter list is not closed";
}

int ParameterIndex(const CMacroDefinition& macro, const CPpToken& token)
{
    if (token.kind != CTokenKind::Identifier)
        return -1;
    const auto found = std::find(macro.parameters.begin(), macro.parameters.end(), token.text);
    return found == macro.parameters.end() ? -1 : static_cast<int>(found - macro.parameters.begin());
}

std::string CheckReplacement(CMacroDefinition& macro)
{
    const std::vector<CPpToken>& body = macro.replacement;
    for (std::size_t k = 0; k < body.size(); ++k) {
        const CPpToken& token = body[k];
        macro.parameterAt.push_back(macro.functionLike ? ParameterIndex(macro, token) : -1);
        if (token.kind == CTokenKind::Identifier && token.text == "__VA_OPT__")
            return "'__VA_OPT__' is not read";
        if (token.kind == CTokenKind::Identifier && token.text == "__VA_ARGS__" && !macro.variadic)
            return "'__VA_ARGS__' stands outside a variadic macro";
        if (token.pasteOperator && (k == 0 || k + 1 == body.size()))
            return "'##' cannot stand at either end of a macro's replacement";
        if (macro.functionLike && IsPunctuator(token, "#")
            && (k + 1 == body.size() || ParameterIndex(macro, body[k + 1]) < 0))
            return "'#' is not followed by a macro parameter";
    }
    return {};
}

} // namespace

std::string ParseDefinition(std::vector<CPpToken> tokens, CMacroDefinition& macro)
{
    std::size_t at = 0;
    if (!tokens.empty() && IsPunctuator(tokens[0], "(") && !tokens[0].spaceBefore) {
        macro.functionLike = true;
        if (std::string refusal = ReadParameters(tokens, at, macro); !refusal.empty())
            return refusal;
    }
    tokens.erase(tokens.begin(), tokens.begin() + static_cast<std::ptrdiff_t>(at));
    for (CPpToken& token : tokens)
        token.pasteOperator = token.kind == CTokenKind::Punctuator && token.text == "##";
    if (!tokens.empty())
        tokens.front().spaceBefore = false;
    macro.replacement = std::move(tokens);
    return CheckReplacement(macro);
}

namespace {

// What a name alone costs in a set, and a macro in the table.
std::size_t NameCost(const std::string& name)
{
    return sizeof(std::string) + name.size() + sizeof(void*) * 4;
}

std::size_t MacroCost(const std::string& name, const CMacroDefinition& macro)
{
    std::size_t cost = NameCost(name) + sizeof(CMacroDefinition) + macro.parameterAt.size() * sizeof(int);
    for (const std::string& parameter : macro.parameters)
        cost += NameCost(parameter);
    for (const CPpToken& token : macro.replacement)
        cost += CostOf(token);
    return cost;
}

} // namespace

void CMacroTable::Forget(const std::string& name)
{
    if (const auto found = m_macros.find(name); found != m_macros.end()) {
        m_nCost -= found->second.cost;
        m_macros.erase(found);
    }
    if (m_undefined.erase(name) + m_uncertain.erase(name) > 0)
        m_nCost -= NameCost(name);
}

std::string CMacroTable::MakeRoom(const std::string& name, std::size_t cost)
{
    Forget(name);
    if (m_macros.size() + m_undefined.size() + m_uncertain.size() >= pp_limits::kMaxNames)
        return "more than " + std::to_string(pp_limits::kMaxNames) + " macro names";
    if (m_nCost + cost > pp_limits::kMaxDefinitionsCost)
        return "the macros' definitions pass " + std::to_string(pp_limits::kMaxDefinitionsCost >> 20) + " MiB";
    m_nCost += cost;
    return {};
}

std::string CMacroTable::Define(const std::string& name, CMacroDefinition macro)
{
    const std::size_t cost = MacroCost(name, macro);
    if (std::string refusal = MakeRoom(name, cost); !refusal.empty())
        return refusal;
    m_macros[name] = CEntry{std::move(macro), cost};
    return {};
}

std::string CMacroTable::Undefine(const std::string& name)
{
    if (std::string refusal = MakeRoom(name, NameCost(name)); !refusal.empty())
        return refusal;
    m_undefined.insert(name);
    return {};
}

std::string CMacroTable::MakeUncertain(const std::string& name)
{
    if (std::string refusal = MakeRoom(name, NameCost(name)); !refusal.empty())
        return refusal;
    m_uncertain.insert(name);
    return {};
}

void CMacroTable::AddBuiltin(const std::string& name, CMacroDefinition::Builtin builtin)
{
    CMacroDefinition macro;
    macro.builtin = builtin;
    m_macros[name] = CEntry{std::move(macro), 0};
}

const CMacroDefinition* CMacroTable::Find(std::string_view name) const
{
    const auto found = m_macros.find(std::string(name));
    return found == m_macros.end() ? nullptr : &found->second.macro;
}

bool CMacroTable::IsUncertain(std::string_view name) const
{
    return m_uncertain.contains(std::string(name));
}

CNameState CMacroTable::StateOf(std::string_view name) const
{
    const std::string key(name);
    if (m_macros.contains(key))
        return CNameState::Defined;
    return m_undefined.contains(key) ? CNameState::Undefined : CNameState::Unknown;
}
