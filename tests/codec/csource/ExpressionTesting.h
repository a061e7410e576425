#pragma once

#include "CAbi.h"
#include "CExpression.h"
#include "CSourceLexer.h"
#include "CompilerOracle.h"

#include <string>
#include <string_view>
#include <vector>

// What the tests of C's constants share: an expression's tokens as the
// lexer gives them, the names an expression may use.

class CExpressionTokens final : public CTokenSink
{
public:
    void OnToken(const CToken& token) override
    {
        m_tokens.push_back({token.kind, std::string(token.text), std::string(token.decoded), token.undecodable});
    }
    void OnStringByte(unsigned char byte) override { m_tokens.back().decoded += static_cast<char>(byte); }
    void OnStringEnd(std::string_view) override {}

    std::vector<CExprToken> m_tokens;
};

inline std::vector<CExprToken> ExpressionTokens(std::string_view text)
{
    CExpressionTokens tokens;
    CSourceLexer lexer(tokens);
    lexer.Feed({reinterpret_cast<const unsigned char*>(text.data()), text.size()});
    lexer.Finish();
    return std::move(tokens.m_tokens);
}

// The type that a type name's words give on a platform: a name of the
// headers' table, or keywords.
inline std::optional<CScalarType> TypeOfWords(const CAbi& abi, std::string_view spelling)
{
    std::vector<std::string_view> words;
    for (std::size_t at = 0; at < spelling.size();) {
        const std::size_t end = std::min(spelling.find(' ', at), spelling.size());
        if (end > at)
            words.push_back(spelling.substr(at, end - at));
        at = end + 1;
    }
    if (words.size() == 1)
        if (std::optional<CScalarType> named = abi.BuiltinTypeName(words[0]))
            return named;
    return abi.KeywordType(words);
}

// The file's names for the tests: enum constants ONE (1) and NEG (-1); in
// an #if any other name is an undefined macro, 0.
class CTestNames final : public CExpressionNames
{
public:
    CTestNames(const CAbi& abi, CExpressionMode mode)
        : m_abi(abi)
        , m_mode(mode)
    {
    }

    CEvaluatedConstant Identifier(std::string_view name) override
    {
        if (name == "ONE" || name == "NEG")
            return {IntegerConstant(MakeInteger(name == "ONE" ? 1 : ~std::uint64_t{0}, 4, true)), {}};
        if (m_mode == CExpressionMode::Preprocessor)
            return {IntegerConstant(MakeInteger(0, 8, true)), {}};
        return {{}, "is a name the file does not define"};
    }

    std::optional<CNamedType> TypeName(std::span<const CExprToken> tokens) override
    {
        std::string spelling;
        std::uint64_t count = 1;
        for (std::size_t k = 0; k < tokens.size(); ++k) {
            if (tokens[k].text == "[" && k + 2 < tokens.size()) {
                count *= std::stoull(tokens[k + 1].text);
                break;
            }
            spelling += (spelling.empty() ? "" : " ") + tokens[k].text;
        }
        const std::optional<CScalarType> scalar = TypeOfWords(m_abi, spelling);
        if (!scalar)
            return std::nullopt;
        if (count != 1)
            return CNamedType{std::nullopt, count * static_cast<std::uint64_t>(scalar->width)};
        return CNamedType{scalar, static_cast<std::uint64_t>(scalar->width)};
    }

private:
    const CAbi& m_abi;
    CExpressionMode m_mode;
};
