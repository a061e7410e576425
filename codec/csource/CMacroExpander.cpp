#include "CMacroExpander.h"

#include "CMacroOperators.h"
#include "CPreprocessorLimits.h"

#include <algorithm>

std::vector<CPpToken> CMacroExpander::Expand(std::vector<CPpToken> tokens, bool atEnd, const COutput& out)
{
    m_cutShort.clear();
    if (tokens.empty() || m_refusal.Failed())
        return {};
    m_nLine = tokens.front().line;
    m_bAtEnd = atEnd;
    m_nCost = 0;
    m_stack.clear();
    m_stack.push_back(CContext{std::move(tokens), 0, nullptr});
    Run(0, out);
    m_stack.clear();
    return std::move(m_cutShort);
}

void CMacroExpander::Refuse(const std::string& reason)
{
    m_refusal.Refuse(m_nLine, reason);
}

// The next token above floor, the contexts read to their end left.
const CPpToken* CMacroExpander::Peek(std::size_t floor)
{
    while (true) {
        CContext& context = m_stack.back();
        if (context.at < context.tokens.size())
            return &context.tokens[context.at];
        if (m_stack.size() - 1 == floor)
            return nullptr;
        m_stack.pop_back();
    }
}

bool CMacroExpander::IsDisabled(const CMacroDefinition& macro) const
{
    return std::any_of(m_stack.begin(), m_stack.end(), [&](const CContext& c) { return c.macro == &macro; });
}

bool CMacroExpander::Charge(std::size_t cost)
{
    m_nCost += cost;
    ++m_nMade;
    if (m_nCost > pp_limits::kMaxExpansionCost) {
        Refuse("a macro expansion passes " + std::to_string(pp_limits::kMaxExpansionCost >> 20) + " MiB");
        return false;
    }
    if (m_nMade > m_nRead * pp_limits::kExpansionTokensPerToken + pp_limits::kExpansionAllowance) {
        Refuse("macro expansions make more than " + std::to_string(pp_limits::kExpansionTokensPerToken)
            + " tokens per token of the file");
        return false;
    }
    return true;
}

bool CMacroExpander::Push(std::vector<CPpToken> tokens, const CMacroDefinition* macro)
{
    if (m_stack.size() >= pp_limits::kMaxExpansionDepth) {
        Refuse("macro expansions nest deeper than " + std::to_string(pp_limits::kMaxExpansionDepth));
        return false;
    }
    for (const CPpToken& token : tokens)
        if (!Charge(CostOf(token)))
            return false;
    m_stack.push_back(CContext{std::move(tokens), 0, macro});
    return true;
}

void CMacroExpander::Run(std::size_t floor, const COutput& out)
{
    while (!m_refusal.Failed()) {
        const CPpToken* next = Peek(floor);
        if (next == nullptr)
            return;
        // Read once: the token is moved out of its context.
        CPpToken token = std::move(m_stack.back().tokens[m_stack.back().at++]);
        const CMacroDefinition* macro = token.kind == CTokenKind::Identifier && !token.noExpand && !token.truncated
            ? m_macros.Find(token.text)
            : nullptr;
        if (macro == nullptr) {
            token.uncertain = token.uncertain
                || (token.kind == CTokenKind::Identifier && !token.truncated && m_macros.IsUncertain(token.text));
            out(std::move(token));
        } else if (IsDisabled(*macro)) {
            token.noExpand = true;
            out(std::move(token));
        } else {
            ExpandName(floor, *macro, std::move(token), out);
        }
    }
}

void CMacroExpander::ExpandName(std::size_t floor, const CMacroDefinition& macro, CPpToken name, const COutput& out)
{
    if (macro.builtin == CMacroDefinition::Builtin::FromBuild)
        return Refuse(Concat("'", name.text, "' changes with the build"));
    if (macro.builtin == CMacroDefinition::Builtin::Line) {
        // A replacement's tokens stand at their macro's name, as gcc places them.
        name.kind = CTokenKind::Number;
        name.text = std::to_string(name.line);
        return out(std::move(name));
    }
    std::vector<std::vector<CPpToken>> args;
    if (macro.functionLike) {
        std::vector<CPpToken> call{name};
        switch (CollectCall(floor, call)) {
        case CCall::NoCall: return out(std::move(name));
        case CCall::CutShort:
            if (floor == 0 && !m_bAtEnd) {
                m_cutShort = std::move(call);
                m_stack.resize(1);
                m_stack[0].at = m_stack[0].tokens.size();
                return;
            }
            return Refuse("the call of '" + name.text + "' is not closed");
        case CCall::Expanded: break;
        }
        if (!SplitArguments(macro, name, call, args))
            return;
    }
    std::vector<CPpToken> replacement = Substitute(macro, args, name);
    if (!m_refusal.Failed())
        Push(std::move(replacement), &macro);
}

// From the name on, through the ')' that closes its call.
CMacroExpander::CCall CMacroExpander::CollectCall(std::size_t floor, std::vector<CPpToken>& call)
{
    const CPpToken* open = Peek(floor);
    if (open == nullptr)
        return floor == 0 && !m_bAtEnd ? CCall::CutShort : CCall::NoCall;
    if (!IsPunctuator(*open, "("))
        return CCall::NoCall;
    int depth = 0;
    for (const CPpToken* token = open; token != nullptr; token = Peek(floor)) {
        call.push_back(std::move(m_stack.back().tokens[m_stack.back().at++]));
        if (!Charge(CostOf(call.back())))
            return CCall::Expanded;
        depth += ParenthesisStep(call.back());
        if (depth == 0)
            return CCall::Expanded;
    }
    return CCall::CutShort;
}

// call: name ( ... ), split at its outer commas; the variadic parameter
// takes the rest, commas and all.
bool CMacroExpander::SplitArguments(const CMacroDefinition& macro, const CPpToken& name, std::vector<CPpToken>& call,
    std::vector<std::vector<CPpToken>>& args)
{
    args.emplace_back();
    int depth = 0;
    for (std::size_t k = 2; k + 1 < call.size(); ++k) {
        CPpToken& token = call[k];
        depth += ParenthesisStep(token);
        if (depth == 0 && IsPunctuator(token, ",") && !(macro.variadic && args.size() == macro.parameters.size()))
            args.emplace_back();
        else
            args.back().push_back(std::move(token));
    }
    const std::size_t given = args.size() == 1 && args[0].empty() && macro.parameters.empty() ? 0 : args.size();
    const std::size_t wanted = macro.parameters.size();
    if (given == wanted || (macro.variadic && given + 1 == wanted)) {
        args.resize(wanted);
        return true;
    }
    Refuse(
        "the macro '" + name.text + "' takes " + std::to_string(wanted) + " arguments, given " + std::to_string(given));
    return false;
}

std::vector<CPpToken> CMacroExpander::ExpandArgument(const std::vector<CPpToken>& argument)
{
    std::vector<CPpToken> expanded;
    if (!Push(argument, nullptr))
        return expanded;
    const std::size_t floor = m_stack.size() - 1;
    Run(floor, [&](CPpToken&& token) {
        if (Charge(CostOf(token)))
            expanded.push_back(std::move(token));
    });
    m_stack.resize(floor);
    return expanded;
}

namespace {

// ", ## __VA_ARGS__": gcc drops the comma when the variable arguments are
// empty, and else keeps both without pasting.
bool IsCommaPaste(const CMacroDefinition& macro, std::size_t k)
{
    const std::vector<CPpToken>& body = macro.replacement;
    return macro.variadic && k >= 2 && body[k].text == "__VA_ARGS__" && body[k - 1].pasteOperator
        && IsPunctuator(body[k - 2], ",");
}

bool IsPasted(const CMacroDefinition& macro, std::size_t k)
{
    const std::vector<CPpToken>& body = macro.replacement;
    return (k > 0 && body[k - 1].pasteOperator) || (k + 1 < body.size() && body[k + 1].pasteOperator);
}

void Append(std::vector<CPpToken>& to, const std::vector<CPpToken>& tokens, bool spaceBefore)
{
    const std::size_t first = to.size();
    to.insert(to.end(), tokens.begin(), tokens.end());
    if (first < to.size())
        to[first].spaceBefore = spaceBefore;
}

} // namespace

std::vector<CPpToken> CMacroExpander::Substitute(
    const CMacroDefinition& macro, std::vector<std::vector<CPpToken>>& args, const CPpToken& name)
{
    const std::vector<CPpToken>& body = macro.replacement;
    std::vector<CPpToken> result;
    std::vector<std::vector<CPpToken>> expanded(args.size());
    std::vector<bool> isExpanded(args.size());
    for (std::size_t k = 0; k < body.size() && !m_refusal.Failed(); ++k) {
        const int parameter = macro.parameterAt[k];
        if (macro.functionLike && IsPunctuator(body[k], "#")) {
            CPpToken string;
            if (const std::string refusal = Stringify(args[macro.parameterAt[++k]], string); !refusal.empty())
                Refuse(refusal);
            string.spaceBefore = body[k - 1].spaceBefore;
            result.push_back(std::move(string));
        } else if (parameter >= 0 && IsCommaPaste(macro, k)) {
            result.pop_back();
            if (args[parameter].empty())
                result.pop_back();
            Append(result, args[parameter], body[k].spaceBefore);
        } else if (parameter >= 0 && IsPasted(macro, k)) {
            Append(result, args[parameter], body[k].spaceBefore);
            if (args[parameter].empty())
                result.emplace_back().placemarker = true;
        } else if (parameter >= 0) {
            if (!isExpanded[parameter])
                expanded[parameter] = ExpandArgument(args[parameter]);
            isExpanded[parameter] = true;
            Append(result, expanded[parameter], body[k].spaceBefore);
        } else {
            result.push_back(body[k]);
            result.back().line = name.line;
        }
    }
    if (!result.empty())
        result.front().spaceBefore = name.spaceBefore;
    PasteAll(result);
    return result;
}

void CMacroExpander::PasteAll(std::vector<CPpToken>& tokens)
{
    std::vector<CPpToken> pasted;
    for (std::size_t k = 0; k < tokens.size() && !m_refusal.Failed(); ++k) {
        if (!tokens[k].pasteOperator || pasted.empty() || k + 1 == tokens.size()) {
            pasted.push_back(std::move(tokens[k]));
            continue;
        }
        CPpToken result;
        if (const std::string refusal = Paste(pasted.back(), tokens[k + 1], result); !refusal.empty())
            Refuse(refusal);
        pasted.back() = std::move(result);
        ++k;
    }
    std::erase_if(pasted, [](const CPpToken& token) { return token.placemarker; });
    tokens = std::move(pasted);
}
