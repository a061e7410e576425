#include "CIfCondition.h"

#include "CExpression.h"

namespace {

// Names left after expansion: 0 when the file defines them (a macro not
// expanded again) or undefines them for certain, as C says; else the
// condition is not known.
class CIfNames final : public CExpressionNames
{
public:
    explicit CIfNames(const CMacroTable& macros, const CAbi& abi)
        : m_macros(macros)
        , m_abi(abi)
    {
    }

    CEvaluatedConstant Identifier(std::string_view name) override
    {
        CPpToken token;
        token.kind = CTokenKind::Identifier;
        token.text = name;
        if (NameState(m_macros, m_abi, token) != CNameState::Unknown) {
            CEvaluatedConstant zero;
            zero.value.integer = CIntegerValue{0, 8, true};
            return zero;
        }
        m_bUnknown = true;
        std::string reason = "'";
        reason.append(name).append("' is not defined in the file");
        return {CConstant{}, std::move(reason)};
    }
    std::optional<CNamedType> TypeName(std::span<const CExprToken> /*tokens*/) override { return std::nullopt; }
    bool Unknown() const { return m_bUnknown; }

private:
    const CMacroTable& m_macros;
    const CAbi& m_abi;
    bool m_bUnknown = false;
};

// "defined X" and "defined ( X )" as 1 or 0; false when one is not known.
bool ReplaceDefined(std::vector<CPpToken>& tokens, const CMacroTable& macros, const CAbi& abi, std::string& refusal)
{
    std::vector<CPpToken> replaced;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        if (tokens[k].kind != CTokenKind::Identifier || tokens[k].text != "defined") {
            replaced.push_back(std::move(tokens[k]));
            continue;
        }
        const bool parenthesised = k + 1 < tokens.size() && IsPunctuator(tokens[k + 1], "(");
        const std::size_t at = k + (parenthesised ? 2 : 1);
        if (at >= tokens.size() || tokens[at].kind != CTokenKind::Identifier
            || (parenthesised && (at + 1 >= tokens.size() || !IsPunctuator(tokens[at + 1], ")")))) {
            refusal = "'defined' without a macro name";
            return false;
        }
        const CNameState state = NameState(macros, abi, tokens[at]);
        if (state == CNameState::Unknown)
            return false;
        CPpToken value = tokens[k];
        value.kind = CTokenKind::Number;
        value.text.assign(1, state == CNameState::Defined ? '1' : '0');
        replaced.push_back(std::move(value));
        k = at + (parenthesised ? 1 : 0);
    }
    tokens = std::move(replaced);
    return true;
}

CExprToken ForExpression(const CPpToken& token)
{
    return CExprToken{token.kind, token.text, token.decoded, token.undecodable};
}

} // namespace

CNameState NameState(const CMacroTable& macros, const CAbi& abi, const CPpToken& name)
{
    if (name.truncated || name.uncertain || macros.IsUncertain(name.text))
        return CNameState::Unknown;
    const CNameState state = macros.StateOf(name.text);
    if (state == CNameState::Unknown && abi.IsReservedUndefined(name.text))
        return CNameState::Undefined;
    return state;
}

CCondition EvaluateIf(std::vector<CPpToken> tokens, const CMacroTable& macros, const CAbi& abi,
    CMacroExpander& expander, CRefusal& refusal, long line)
{
    std::string reason;
    if (!ReplaceDefined(tokens, macros, abi, reason)) {
        if (!reason.empty())
            refusal.Refuse(line, reason);
        return CCondition::Unknown;
    }
    std::vector<CExprToken> expression;
    bool unknown = false;
    expander.Expand(std::move(tokens), true, [&](CPpToken&& token) {
        if (token.kind == CTokenKind::Identifier && token.text == "defined")
            reason = "'defined' made by a macro is not read";
        // A long name's text is not the name; an uncertain one has no known state.
        unknown = unknown || (token.kind == CTokenKind::Identifier && (token.truncated || token.uncertain));
        expression.push_back(ForExpression(token));
    });
    if (!reason.empty())
        refusal.Refuse(line, reason);
    if (refusal.Failed())
        return CCondition::False;
    if (expression.empty()) {
        refusal.Refuse(line, "'#if' with no expression");
        return CCondition::False;
    }
    if (unknown)
        return CCondition::Unknown;
    CIfNames names(macros, abi);
    const CEvaluatedConstant value = EvaluateConstant(expression, abi, names, CExpressionMode::Preprocessor);
    if (names.Unknown())
        return CCondition::Unknown;
    if (!value.refusal.empty()) {
        refusal.Refuse(line, value.refusal);
        return CCondition::False;
    }
    return value.value.integer.bits != 0 ? CCondition::True : CCondition::False;
}
