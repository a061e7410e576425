#include "CArrayDeclaration.h"

#include "CIntegerValue.h"

#include <algorithm>

namespace {

// Longer than any size worth quoting in a message.
constexpr std::size_t kMaxDimText = 60;

} // namespace

bool CArrayDeclaration::Token(const CToken& token)
{
    if (m_bInDims) {
        DimensionToken(token);
        return false;
    }
    const bool dimsStarted = !dims.empty() || !badDim.empty();
    if (token.kind == CTokenKind::Punctuator) {
        if (token.text == ";" || token.text == "{" || token.text == "}") {
            *this = CArrayDeclaration();
            afterBrace = token.text == "}";
            return false;
        }
        if (token.text == "=" && m_nParens == 0)
            return true;
        if (token.text == "(")
            ++m_nParens;
        else if (token.text == ")")
            m_nParens = std::max(0, m_nParens - 1);
        else if (token.text == "*")
            pointer = true;
        else if (token.text == "[" && m_nParens == 0) {
            if (!dimsStarted && m_lastKind == CTokenKind::Identifier && !words.empty()) {
                words.pop_back();   // the array's name
                m_bInDims = true;
            } else if (dimsStarted && m_lastText == "]") {
                m_bInDims = true;
            }
            m_dimText.clear();
            m_nDimTokens = 0;
            m_bDimNumber = false;
        }
    } else if (token.kind == CTokenKind::Identifier && m_nParens == 0 && !dimsStarted) {
        words.emplace_back(token.text);
    }
    m_lastKind = token.kind;
    m_lastText = token.text;
    return false;
}

void CArrayDeclaration::DimensionToken(const CToken& token)
{
    if (token.kind != CTokenKind::Punctuator || token.text != "]") {
        if (m_dimText.size() < kMaxDimText)
            m_dimText += token.text;
        m_bDimNumber = m_nDimTokens == 0 && token.kind == CTokenKind::Number;
        ++m_nDimTokens;
        return;
    }
    m_bInDims = false;
    m_lastKind = CTokenKind::Punctuator;
    m_lastText.assign(1, ']');
    if (!badDim.empty())
        return;
    if (m_nDimTokens == 0 && dims.empty()) {
        dims.push_back(0);
        return;
    }
    if (m_bDimNumber) {
        const CEvaluated size = ParseIntegerLiteral(m_dimText);
        if (!size.refusal && size.value.bits > 0 && size.value.bits <= kMaxElements) {
            dims.push_back(size.value.bits);
            return;
        }
    }
    badDim.assign(1, '[');
    badDim += m_dimText;
    badDim += ']';
}
