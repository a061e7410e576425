#pragma once

#include "CSourceLexer.h"

#include <cstdint>
#include <string>
#include <vector>

// What the declaration before an "=" says of the array it initialises,
// read one token at a time: its element type's words, its sizes, whether it
// holds pointers. Anything else (attributes, qualifiers after the name) is
// passed over.
class CArrayDeclaration
{
public:
    // Far above any array a compiler accepts; keeps the counts from overflowing.
    static constexpr std::uint64_t kMaxElements = std::uint64_t{1} << 48;

    // true at an "=" outside parentheses: what follows may be the initialiser.
    bool Token(const CToken& token);

    std::vector<std::string> words;   // the type's words, before the name
    std::vector<std::uint64_t> dims;  // the sizes, outer first; 0 for an outer "[]"
    std::string badDim;               // a size that cannot be evaluated, as "[N]"
    bool pointer = false;
    bool afterBrace = false;          // follows a "}": the type is a struct or union

private:
    void DimensionToken(const CToken& token);

    bool m_bInDims = false;
    std::string m_dimText;            // the size being read
    std::size_t m_nDimTokens = 0;
    bool m_bDimNumber = false;
    int m_nParens = 0;
    CTokenKind m_lastKind = CTokenKind::Punctuator;
    std::string m_lastText;
};
