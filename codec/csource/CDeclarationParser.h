#pragma once

#include "CExpression.h"
#include "CFileScope.h"
#include "CRefusal.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

using CTokens = std::span<const CExprToken>;

// The attributes of a declaration: none changes an array's bytes, but one
// may change a type's (mode, vector_size) or move a structure's members.
struct CAttributes
{
    std::string first;           // the first met, as "aligned" or "alignas"
    bool changesBytes = false;   // one other than those that only place or mark (first names it)
};

// A declaration's specifiers: its base type and storage words.
struct CSpecifiers
{
    CTypePtr base;
    std::string unknownType;   // a type name no one defines (WORD): only c1 to c9 can read it
    std::string refusal;       // why the base type cannot be used ("'struct s' is a union")
    std::string doubt;         // an uncertain name it was made from
    CAttributes attributes;
    bool isTypedef = false;
    std::size_t end = 0;       // the first token past them

    // A type of known layout: a type no one defines keeps only its shape.
    bool Known() const { return base && unknownType.empty(); }
};

// One declarator: its name and the array sizes around the base type.
struct CDeclarator
{
    std::string name;
    std::vector<std::uint64_t> dims;   // outer first
    bool outerUnbounded = false;       // "[]"
    bool pointer = false;
    bool function = false;
    std::string refusal;
    std::string doubt;
    CAttributes attributes;
    std::size_t end = 0;
};

// Reads C declarations at file scope, as token runs the reader gathers,
// and keeps what they define in the file's scope; it evaluates sizes,
// enum values, casts and sizeof with the file's own names.
class CDeclarationParser final : public CExpressionNames
{
public:
    CDeclarationParser(const CAbi& abi, CFileScope& scope)
        : m_abi(abi)
        , m_scope(scope)
    {
    }

    // The specifiers at the start of tokens; structures and enums defined
    // there are added to the scope (ScopeFull() when it had no room).
    CSpecifiers Specifiers(CTokens tokens);
    CDeclarator Declarator(CTokens tokens, std::size_t at);
    // A typedef's declarator, added to the scope; false when it is full.
    bool AddTypedef(const CSpecifiers& specifiers, const CDeclarator& declarator);
    // The object type of a declarator over an element type; refusal set
    // when it is too large.
    static CTypePtr ObjectType(CTypePtr element, const CDeclarator& declarator, std::string& refusal);

    CEvaluatedConstant Identifier(std::string_view name) override;
    std::optional<CNamedType> TypeName(std::span<const CExprToken> tokens) override;

    const CAbi& Abi() const { return m_abi; }
    // Structures defined from now on are refused: the pragma may lay them out otherwise.
    void SetLayoutPragma(std::string_view pragma)
    {
        if (m_strLayoutPragma.empty())
            m_strLayoutPragma = pragma;
    }
    bool ScopeFull() const { return m_bScopeFull; }

private:
    bool NamedType(const CExprToken& token, CSpecifiers& specifiers) const;
    void KeywordBase(std::span<const std::string_view> keywords, CSpecifiers& specifiers) const;
    std::size_t TaggedType(CTokens tokens, std::size_t at, CSpecifiers& specifiers);
    CFileScope::CTypeEntry StructBody(CTokens body);
    std::string MemberDeclaration(CTokens member, std::vector<CMember>& members, std::string& doubt);
    std::string EnumBody(CTokens body, std::string& doubt, CScalarType& type);
    std::size_t Dimension(CTokens tokens, std::size_t at, CDeclarator& declarator);
    void Note(std::string& doubt, const CExprToken& token) const;
    void AddToScope(bool added);

    const CAbi& m_abi;
    CFileScope& m_scope;
    bool m_bScopeFull = false;
    int m_nDepth = 0;   // structures defined inside structures
    std::string m_strLayoutPragma;
};

// The index past the group that opens at tokens[at] ("(" or "[" or "{"),
// or tokens.size() when it is never closed.
std::size_t SkipGroup(CTokens tokens, std::size_t at);
bool IsPunctuator(const CExprToken& token, std::string_view text);
// Tokens as a message quotes them, cut past 60 bytes.
std::string Spelling(CTokens tokens);
