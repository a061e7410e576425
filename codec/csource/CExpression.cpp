#include "CExpression.h"

#include "CArithmetic.h"
#include "CLiteral.h"

#include <array>

namespace {

// Parentheses, unary operators and ?: arms nest no deeper, so that the
// evaluation's stack stays small on any input.
constexpr int kMaxDepth = 256;
// A cast's or sizeof's type name is at most this many tokens.
constexpr std::size_t kMaxTypeNameTokens = 64;

struct CBinaryInfo
{
    std::string_view text;
    int precedence;   // binds tighter when higher
    CBinaryOperator op;
};

constexpr int kOrPrecedence = 1;
constexpr int kAndPrecedence = 2;

constexpr auto kBinaryOperators = std::to_array<CBinaryInfo>({
    {"||", kOrPrecedence, CBinaryOperator::BitOr},
    {"&&", kAndPrecedence, CBinaryOperator::BitAnd},
    {"|", 3, CBinaryOperator::BitOr},
    {"^", 4, CBinaryOperator::BitXor},
    {"&", 5, CBinaryOperator::BitAnd},
    {"==", 6, CBinaryOperator::Equal},
    {"!=", 6, CBinaryOperator::NotEqual},
    {"<", 7, CBinaryOperator::Less},
    {">", 7, CBinaryOperator::Greater},
    {"<=", 7, CBinaryOperator::LessEqual},
    {">=", 7, CBinaryOperator::GreaterEqual},
    {"<<", 8, CBinaryOperator::ShiftLeft},
    {">>", 8, CBinaryOperator::ShiftRight},
    {"+", 9, CBinaryOperator::Add},
    {"-", 9, CBinaryOperator::Subtract},
    {"*", 10, CBinaryOperator::Multiply},
    {"/", 10, CBinaryOperator::Divide},
    {"%", 10, CBinaryOperator::Remainder},
});

constexpr auto kUnaryOperators = std::to_array<std::pair<std::string_view, CUnaryOperator>>({
    {"+", CUnaryOperator::Plus},
    {"-", CUnaryOperator::Minus},
    {"~", CUnaryOperator::Complement},
    {"!", CUnaryOperator::Not},
});

// A value and whether it is a character literal as written, whose size
// differs between C (int) and C++ (char).
struct COperand
{
    CConstant value;
    bool characterLiteral = false;
};

std::uint64_t SizeOf(const CConstant& value)
{
    switch (value.kind) {
    case CConstant::Kind::Float: return 4;
    case CConstant::Kind::Double: return 8;
    case CConstant::Kind::Integer: break;
    }
    return static_cast<std::uint64_t>(value.integer.width);
}

// Recursive descent over C's grammar from conditional-expression down.
// live: whether C evaluates this part; the untaken side of && || ?: and
// sizeof's operand are read for their type only, so that what C leaves
// undefined there (a division by zero) is no refusal.
class CEvaluator
{
public:
    CEvaluator(std::span<const CExprToken> tokens, const CAbi& abi, CExpressionNames& names, CExpressionMode mode)
        : m_tokens(tokens)
        , m_abi(abi)
        , m_names(names)
        , m_mode(mode)
    {
    }

    CEvaluatedConstant Run();

private:
    bool Conditional(bool live, COperand& out);
    bool Binary(int minPrecedence, bool live, COperand& out);
    bool Logical(const CBinaryInfo& info, bool live, COperand& left);
    bool Unary(bool live, COperand& out);
    bool Cast(const CScalarType& type, bool live, COperand& out);
    bool Sizeof(COperand& out);
    bool Primary(bool live, COperand& out);
    bool Identifier(const CExprToken& token, COperand& out);
    // The type named between the parentheses opening at m_nAt, and where the
    // closing one stands; none when they hold no type name.
    std::optional<CNamedType> TypeNameAt(std::size_t& close);
    CConstant UnevaluatedResult(CBinaryOperator op, const COperand& left, const COperand& right) const;
    bool Settle(CEvaluatedConstant evaluated, CConstant zero, bool live, COperand& out);
    bool Refuse(std::string reason);
    bool At(std::string_view text) const;
    const CBinaryInfo* BinaryAt() const;

    std::span<const CExprToken> m_tokens;
    const CAbi& m_abi;
    CExpressionNames& m_names;
    CExpressionMode m_mode;
    std::size_t m_nAt = 0;
    int m_nDepth = 0;
    std::string m_refusal;
};

bool CEvaluator::Refuse(std::string reason)
{
    if (m_refusal.empty())
        m_refusal = std::move(reason);
    return false;
}

bool CEvaluator::At(std::string_view text) const
{
    return m_nAt < m_tokens.size() && m_tokens[m_nAt].kind == CTokenKind::Punctuator && m_tokens[m_nAt].text == text;
}

const CBinaryInfo* CEvaluator::BinaryAt() const
{
    for (const CBinaryInfo& info : kBinaryOperators)
        if (At(info.text))
            return &info;
    return nullptr;
}

// An operation's result: in an #if every integer is intmax_t or uintmax_t;
// where C does not evaluate, a refusal of what is undefined gives way to a
// zero of the result's type.
bool CEvaluator::Settle(CEvaluatedConstant evaluated, CConstant zero, bool live, COperand& out)
{
    if (!evaluated.refusal.empty()) {
        if (live)
            return Refuse(std::move(evaluated.refusal));
        evaluated.value = zero;
    }
    out = {evaluated.value, false};
    if (m_mode == CExpressionMode::Preprocessor && out.value.kind == CConstant::Kind::Integer)
        out.value.integer = ConvertTo(out.value.integer, {8, out.value.integer.isSigned});
    return true;
}

CEvaluatedConstant CEvaluator::Run()
{
    if (m_tokens.empty())
        return {{}, "is empty"};
    COperand result;
    if (Conditional(true, result) && m_nAt < m_tokens.size()) {
        const CExprToken& token = m_tokens[m_nAt];
        Refuse(At(",") ? "has a comma operator" : "has '" + token.text + "' where it should end");
    }
    if (!m_refusal.empty())
        return {{}, m_refusal};
    return {result.value, {}};
}

bool CEvaluator::Conditional(bool live, COperand& out)
{
    if (!Binary(kOrPrecedence, live, out) || !At("?"))
        return m_refusal.empty();
    ++m_nAt;
    const bool condition = IsNonZero(out.value);
    COperand taken, other;
    // A chain of ?: nests through its arms, not through Unary.
    if (++m_nDepth > kMaxDepth)
        return Refuse("nests deeper than " + std::to_string(kMaxDepth) + " levels");
    const bool arms = Conditional(live && condition, taken) && (At(":") || Refuse("has a '?' without its ':'"))
        && (++m_nAt, Conditional(live && !condition, other));
    --m_nDepth;
    if (!arms)
        return false;
    const CScalarType common = CommonType(taken.value, other.value);
    return Settle(ConvertConstant(condition ? taken.value : other.value, common), {}, live, out);
}

// gcc's preprocessor gives a division by zero where it does not evaluate
// the left operand as its result, in the left operand's signedness, not
// the common type's; a compiler's types never depend on values.
CConstant CEvaluator::UnevaluatedResult(CBinaryOperator op, const COperand& left, const COperand& right) const
{
    const bool division = op == CBinaryOperator::Divide || op == CBinaryOperator::Remainder;
    if (m_mode == CExpressionMode::Preprocessor && division && !IsNonZero(right.value))
        return left.value;
    return ZeroResult(op, left.value, right.value);
}

bool CEvaluator::Binary(int minPrecedence, bool live, COperand& out)
{
    if (!Unary(live, out))
        return false;
    while (const CBinaryInfo* info = BinaryAt()) {
        if (info->precedence < minPrecedence)
            break;
        ++m_nAt;
        if (info->precedence <= kAndPrecedence) {
            if (!Logical(*info, live, out))
                return false;
            continue;
        }
        COperand right;
        if (!Binary(info->precedence + 1, live, right))
            return false;
        if (std::string error = OperandTypeError(info->op, out.value, right.value); !error.empty())
            return Refuse(std::move(error));
        if (!Settle(Apply(info->op, out.value, right.value), UnevaluatedResult(info->op, out, right), live, out))
            return false;
    }
    return true;
}

// && and ||: the right operand is evaluated only when the left one leaves
// the result open.
bool CEvaluator::Logical(const CBinaryInfo& info, bool live, COperand& left)
{
    const bool isAnd = info.precedence == kAndPrecedence;
    const bool leftTrue = IsNonZero(left.value);
    COperand right;
    if (!Binary(info.precedence + 1, live && leftTrue == isAnd, right))
        return false;
    const bool result = isAnd ? leftTrue && IsNonZero(right.value) : leftTrue || IsNonZero(right.value);
    return Settle({IntegerConstant(MakeInteger(result ? 1 : 0, 4, true)), {}}, {}, live, left);
}

bool CEvaluator::Unary(bool live, COperand& out)
{
    if (++m_nDepth > kMaxDepth)
        return Refuse("nests deeper than " + std::to_string(kMaxDepth) + " levels");
    struct CDepthGuard
    {
        int& depth;
        ~CDepthGuard() { --depth; }
    } guard{m_nDepth};
    for (const auto& [text, op] : kUnaryOperators) {
        if (!At(text))
            continue;
        ++m_nAt;
        COperand operand;
        if (!Unary(live, operand))
            return false;
        if (std::string error = OperandTypeError(op, operand.value); !error.empty())
            return Refuse(std::move(error));
        return Settle(Apply(op, operand.value), ZeroResult(op, operand.value), live, out);
    }
    if (m_mode == CExpressionMode::Program && m_nAt < m_tokens.size() && m_tokens[m_nAt].kind == CTokenKind::Identifier
        && m_tokens[m_nAt].text == "sizeof")
        return Sizeof(out);
    std::size_t close = 0;
    if (m_mode == CExpressionMode::Program && At("(")) {
        if (const std::optional<CNamedType> type = TypeNameAt(close)) {
            if (!type->scalar)
                return Refuse("casts to a type that is not a number");
            m_nAt = close + 1;
            return Cast(*type->scalar, live, out);
        }
    }
    return Primary(live, out);
}

bool CEvaluator::Cast(const CScalarType& type, bool live, COperand& out)
{
    COperand operand;
    if (!Unary(live, operand))
        return false;
    return Settle(ConvertConstant(operand.value, type), ConvertConstant(IntegerConstant({}), type).value, live, out);
}

// sizeof's result is a size_t; its operand is not evaluated.
bool CEvaluator::Sizeof(COperand& out)
{
    ++m_nAt;
    std::uint64_t size = 0;
    std::size_t close = 0;
    const std::optional<CNamedType> type = At("(") ? TypeNameAt(close) : std::nullopt;
    if (type) {
        size = type->size;
        m_nAt = close + 1;
    } else {
        COperand operand;
        if (!Unary(false, operand))
            return false;
        if (operand.characterLiteral)
            return Refuse("takes the size of a character literal, an int in C but a char in C++");
        size = SizeOf(operand.value);
    }
    const std::optional<CScalarType> sizeType = m_abi.BuiltinTypeName("size_t");
    out = {IntegerConstant(MakeInteger(size, sizeType->width, false)), false};
    return true;
}

std::optional<CNamedType> CEvaluator::TypeNameAt(std::size_t& close)
{
    const std::size_t first = m_nAt + 1;
    if (first >= m_tokens.size() || m_tokens[first].kind != CTokenKind::Identifier)
        return std::nullopt;
    for (std::size_t at = first; at < m_tokens.size() && at - first <= kMaxTypeNameTokens; ++at) {
        const CExprToken& token = m_tokens[at];
        if (token.kind == CTokenKind::Punctuator && token.text == ")") {
            close = at;
            return m_names.TypeName(m_tokens.subspan(first, at - first));
        }
        const bool typeNamePart = token.kind == CTokenKind::Identifier || token.kind == CTokenKind::Number
            || (token.kind == CTokenKind::Punctuator && (token.text == "*" || token.text == "[" || token.text == "]"));
        if (!typeNamePart)
            return std::nullopt;
    }
    return std::nullopt;
}

bool CEvaluator::Primary(bool live, COperand& out)
{
    if (m_nAt >= m_tokens.size())
        return Refuse("ends where a value should stand");
    const CExprToken& token = m_tokens[m_nAt++];
    switch (token.kind) {
    case CTokenKind::Number: return Settle(NumberConstant(token.text, m_abi, m_mode), {}, true, out);
    case CTokenKind::Character:
        if (!Settle(CharacterConstant(token, m_abi, m_mode), {}, true, out))
            return false;
        out.characterLiteral = true;
        return true;
    case CTokenKind::String: return Refuse("has a string literal");
    case CTokenKind::Identifier: return Identifier(token, out);
    case CTokenKind::Punctuator: break;
    }
    if (token.text != "(")
        return Refuse("has '" + token.text + "' where a value should stand");
    if (!Conditional(live, out))
        return false;
    if (!At(")"))
        return Refuse(At(",") ? "has a comma operator" : "has a '(' without its ')'");
    ++m_nAt;
    return true;
}

bool CEvaluator::Identifier(const CExprToken& token, COperand& out)
{
    CEvaluatedConstant named = m_names.Identifier(token.text);
    // true and false are 1 and 0 in C++, C23 and through C's <stdbool.h>,
    // whose #include the reader passes over.
    if (!named.refusal.empty() && m_mode == CExpressionMode::Program && (token.text == "true" || token.text == "false"))
        named = {IntegerConstant(MakeInteger(token.text == "true" ? 1 : 0, 4, true)), {}};
    if (named.refusal.empty() && m_mode == CExpressionMode::Preprocessor
        && named.value.kind != CConstant::Kind::Integer)
        named.refusal = "has a floating value";
    return Settle(std::move(named), {}, true, out);
}

} // namespace

CEvaluatedConstant EvaluateConstant(
    std::span<const CExprToken> tokens, const CAbi& abi, CExpressionNames& names, CExpressionMode mode)
{
    return CEvaluator(tokens, abi, names, mode).Run();
}
