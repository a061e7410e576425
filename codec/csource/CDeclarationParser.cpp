#include "CDeclarationParser.h"

#include "fileio/QuotedName.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

// Words that attach an attribute, an alignment or an assembler name: none
// changes an array's bytes, but inside a structure they may move members.
bool IsAttributeWord(std::string_view word)
{
    constexpr std::array<std::string_view, 10> kWords = {"__attribute__", "__attribute", "__declspec", "alignas",
        "_Alignas", "__asm__", "__asm", "asm", "__extension__", "_Noreturn"};
    return std::find(kWords.begin(), kWords.end(), word) != kWords.end();
}

bool IsTypeKeyword(std::string_view word)
{
    constexpr std::array<std::string_view, 12> kWords = {"signed", "unsigned", "char", "short", "int", "long", "float",
        "double", "_Bool", "_Complex", "void", "__int128"};
    return std::find(kWords.begin(), kWords.end(), word) != kWords.end();
}

bool IsWordLike(CTokenKind kind)
{
    return kind == CTokenKind::Identifier || kind == CTokenKind::Number || kind == CTokenKind::Character;
}

// Past an attribute word and its parenthesised arguments.
std::size_t SkipAttribute(CTokens tokens, std::size_t at)
{
    ++at;
    return at < tokens.size() && IsPunctuator(tokens[at], "(") ? SkipGroup(tokens, at) : at;
}

// Attributes that place an object or mark it, and change none of its bytes.
bool KeepsBytes(std::string_view name)
{
    if (name.size() > 4 && name.substr(0, 2) == "__" && name.substr(name.size() - 2) == "__")
        name = name.substr(2, name.size() - 4);
    constexpr std::array<std::string_view, 12> kNames = {"aligned", "section", "used", "unused", "progmem", "weak",
        "visibility", "retain", "externally_visible", "nocommon", "deprecated", "maybe_unused"};
    return std::find(kNames.begin(), kNames.end(), name) != kNames.end();
}

// Past the attribute at tokens[at]; notes the first one met, and whether
// one may change a type's bytes (mode, vector_size, packed...).
std::size_t ReadAttribute(CTokens tokens, std::size_t at, CAttributes& attributes)
{
    const std::size_t end = SkipAttribute(tokens, at);
    if (attributes.first.empty())
        attributes.first = tokens[at].text;
    if (tokens[at].text != "__attribute__" && tokens[at].text != "__attribute")
        return end;
    // The names stand at the second depth of parentheses, first or after a ','.
    int depth = 0;
    for (std::size_t k = at + 1; k < end; ++k) {
        const CExprToken& token = tokens[k];
        depth += IsPunctuator(token, "(") ? 1 : IsPunctuator(token, ")") ? -1 : 0;
        const bool named = depth == 2 && token.kind == CTokenKind::Identifier
            && (IsPunctuator(tokens[k - 1], "(") || IsPunctuator(tokens[k - 1], ","));
        if (named && !KeepsBytes(token.text) && !attributes.changesBytes) {
            attributes.changesBytes = true;
            attributes.first = token.text;
        }
    }
    return end;
}

// Whether the name at tokens[at] is a declarator's: what follows it can
// only follow a declared name.
bool StartsDeclarator(CTokens tokens, std::size_t at)
{
    if (at + 1 >= tokens.size())
        return true;
    const CExprToken& next = tokens[at + 1];
    if (next.kind == CTokenKind::Identifier)
        return IsAttributeWord(next.text);
    for (std::string_view text : {"[", "=", ";", ",", ")", "{", ":", "("})
        if (next.text == text)
            return true;
    return false;
}

// The parts of a run between separators at depth 0 (the members of a
// structure, the constants of an enum).
std::vector<CTokens> SplitAt(CTokens tokens, std::string_view separator)
{
    std::vector<CTokens> parts;
    std::size_t start = 0;
    for (std::size_t at = 0; at < tokens.size();) {
        const CExprToken& token = tokens[at];
        if (token.kind == CTokenKind::Punctuator && (token.text == "(" || token.text == "[" || token.text == "{")) {
            at = SkipGroup(tokens, at);
            continue;
        }
        if (IsPunctuator(token, separator)) {
            parts.push_back(tokens.subspan(start, at - start));
            start = at + 1;
        }
        ++at;
    }
    if (start < tokens.size())
        parts.push_back(tokens.subspan(start));
    return parts;
}

constexpr int kMaxNestedStructs = 16;

} // namespace

bool IsPunctuator(const CExprToken& token, std::string_view text)
{
    return token.kind == CTokenKind::Punctuator && token.text == text;
}

std::size_t SkipGroup(CTokens tokens, std::size_t at)
{
    int depth = 0;
    for (; at < tokens.size(); ++at) {
        const CExprToken& token = tokens[at];
        if (token.kind != CTokenKind::Punctuator)
            continue;
        if (token.text == "(" || token.text == "[" || token.text == "{")
            ++depth;
        else if ((token.text == ")" || token.text == "]" || token.text == "}") && --depth == 0)
            return at + 1;
    }
    return tokens.size();
}

std::string Spelling(CTokens tokens)
{
    constexpr std::size_t kMaxSpelling = 60;
    std::string text;
    for (std::size_t k = 0; k < tokens.size() && text.size() <= kMaxSpelling; ++k) {
        if (k > 0 && IsWordLike(tokens[k - 1].kind) && IsWordLike(tokens[k].kind))
            text += ' ';
        text += tokens[k].text;
        if (tokens[k].kind == CTokenKind::String)
            text += "\"...\"";
    }
    if (text.size() > kMaxSpelling)
        text = text.substr(0, kMaxSpelling) + "...";
    return text;
}

void CDeclarationParser::Note(std::string& doubt, const CExprToken& token) const
{
    if (token.uncertain && doubt.empty())
        doubt = token.text;
}

void CDeclarationParser::AddToScope(bool added)
{
    if (!added)
        m_bScopeFull = true;
}

CSpecifiers CDeclarationParser::Specifiers(CTokens tokens)
{
    CSpecifiers specifiers;
    std::vector<std::string_view> keywords;
    std::string candidate;
    std::size_t at = 0;
    while (at < tokens.size()) {
        const CExprToken& token = tokens[at];
        if (token.kind != CTokenKind::Identifier) {
            if (IsPunctuator(token, "[") && at + 1 < tokens.size() && IsPunctuator(tokens[at + 1], "[")) {
                at = SkipGroup(tokens, at);   // [[attribute]]
                continue;
            }
            break;
        }
        const std::string& word = token.text;
        const bool typed = specifiers.base || !keywords.empty() || !specifiers.refusal.empty();
        if (word == "typedef") {
            specifiers.isTypedef = true;
        } else if (IsQualifierWord(word)) {
        } else if (IsAttributeWord(word)) {
            at = ReadAttribute(tokens, at, specifiers.attributes);
            continue;
        } else if (word == "struct" || word == "union" || word == "enum" || word == "class") {
            at = TaggedType(tokens, at, specifiers);
            continue;
        } else if (IsTypeKeyword(word)) {
            keywords.push_back(word);
        } else if ((typed || !candidate.empty()) && StartsDeclarator(tokens, at)) {
            break;
        } else if (typed) {
            // A word the file does not define beside a known type: an
            // attribute macro from a header (PROGMEM, ALIGN(4)).
            at = SkipAttribute(tokens, at);
            continue;
        } else if (NamedType(token, specifiers)) {
        } else if (at + 1 < tokens.size() && IsPunctuator(tokens[at + 1], "(")) {
            at = SkipGroup(tokens, at + 1);
            continue;
        } else {
            candidate = word;
            Note(specifiers.doubt, token);
        }
        ++at;
    }
    if (!keywords.empty())
        KeywordBase(keywords, specifiers);
    if (!specifiers.base && specifiers.refusal.empty() && specifiers.unknownType.empty())
        specifiers.unknownType = candidate;
    specifiers.end = at;
    return specifiers;
}

// A typedef name of the file (which wins), or one of the platform's table.
bool CDeclarationParser::NamedType(const CExprToken& token, CSpecifiers& specifiers) const
{
    if (const CFileScope::CTypeEntry* entry = m_scope.Typedef(token.text)) {
        specifiers.base = entry->type;
        specifiers.refusal = entry->refusal;
        specifiers.unknownType = entry->unknownType;
        if (specifiers.doubt.empty())
            specifiers.doubt = entry->doubt;
    } else if (const std::optional<CScalarType> builtin = m_abi.BuiltinTypeName(token.text)) {
        specifiers.base = ScalarObject(*builtin);
    } else {
        return false;
    }
    Note(specifiers.doubt, token);
    return true;
}

// "unsigned short int" and the like: alone, never beside a type name.
void CDeclarationParser::KeywordBase(std::span<const std::string_view> keywords, CSpecifiers& specifiers) const
{
    const std::optional<CScalarType> type = m_abi.KeywordType(keywords);
    if (type && !specifiers.base && specifiers.unknownType.empty()) {
        specifiers.base = ScalarObject(*type);
        return;
    }
    std::string words;
    for (std::string_view keyword : keywords) {
        if (!words.empty())
            words += ' ';
        words += keyword;
    }
    specifiers.refusal = QuotedName(words) + " is not a type the reader stores";
}

std::size_t CDeclarationParser::TaggedType(CTokens tokens, std::size_t at, CSpecifiers& specifiers)
{
    const std::string kind = tokens[at++].text;
    bool attributed = false;
    while (at < tokens.size() && tokens[at].kind == CTokenKind::Identifier && IsAttributeWord(tokens[at].text)) {
        attributed = true;
        at = ReadAttribute(tokens, at, specifiers.attributes);
    }
    std::string tag;
    if (at < tokens.size() && tokens[at].kind == CTokenKind::Identifier) {
        tag = tokens[at].text;
        Note(specifiers.doubt, tokens[at]);
        ++at;
    }
    const std::string named = QuotedName(tag.empty() ? kind : kind + " " + tag);
    CFileScope::CTypeEntry entry;
    if (at < tokens.size() && IsPunctuator(tokens[at], "{")) {
        const std::size_t close = SkipGroup(tokens, at);
        const CTokens body = tokens.subspan(at + 1, std::max(close, at + 2) - at - 2);
        at = close;
        while (at < tokens.size() && tokens[at].kind == CTokenKind::Identifier && IsAttributeWord(tokens[at].text)) {
            attributed = true;
            at = ReadAttribute(tokens, at, specifiers.attributes);
        }
        if (kind == "enum") {
            CScalarType type;
            entry.refusal = EnumBody(body, entry.doubt, type);
            if (entry.refusal.empty())
                entry.type = ScalarObject(type);
        } else if (kind == "union") {
            entry.refusal = named + " is a union";
        } else if (attributed) {
            entry.refusal = named + " has an attribute that may change its layout";
        } else if (!m_strLayoutPragma.empty()) {
            entry.refusal = named + " is laid out under " + m_strLayoutPragma + ", which the reader does not apply";
        } else {
            entry = StructBody(body);
            if (!entry.refusal.empty())
                entry.refusal = named + " " + entry.refusal;
        }
        if (!tag.empty())
            AddToScope(m_scope.AddTag(tag, entry));
    } else if (const CFileScope::CTypeEntry* known = tag.empty() ? nullptr : m_scope.Tag(tag)) {
        entry = *known;
    } else {
        entry.refusal = named + " is not defined in the file";
    }
    specifiers.base = entry.type;
    if (specifiers.refusal.empty())
        specifiers.refusal = entry.refusal;
    if (specifiers.doubt.empty())
        specifiers.doubt = entry.doubt;
    return at;
}

CFileScope::CTypeEntry CDeclarationParser::StructBody(CTokens body)
{
    CFileScope::CTypeEntry entry;
    if (m_nDepth >= kMaxNestedStructs) {
        entry.refusal = "nests structures deeper than " + std::to_string(kMaxNestedStructs);
        return entry;
    }
    ++m_nDepth;
    std::vector<CMember> members;
    for (CTokens member : SplitAt(body, ";")) {
        entry.refusal = MemberDeclaration(member, members, entry.doubt);
        if (!entry.refusal.empty())
            break;
    }
    --m_nDepth;
    if (entry.refusal.empty() && !(entry.type = StructObject(std::move(members))))
        entry.refusal = "is too large";
    return entry;
}

std::string CDeclarationParser::MemberDeclaration(CTokens member, std::vector<CMember>& members, std::string& doubt)
{
    if (member.empty() || member[0].text == "_Static_assert" || member[0].text == "static_assert")
        return {};
    const CSpecifiers specifiers = Specifiers(member);
    if (doubt.empty())
        doubt = specifiers.doubt;
    if (!specifiers.refusal.empty())
        return "has a member of a type the reader cannot store: " + specifiers.refusal;
    if (!specifiers.attributes.first.empty())
        return "has a member with " + QuotedName(specifiers.attributes.first) + ", which may move it";
    if (!specifiers.Known())
        return "has a member of type " + QuotedName(specifiers.unknownType) + ", which the file does not define";
    for (CTokens part : SplitAt(member.subspan(specifiers.end), ",")) {
        const CDeclarator declarator = Declarator(part, 0);
        if (doubt.empty())
            doubt = declarator.doubt;
        if (declarator.end < part.size())
            return part[declarator.end].text == ":" ? "has a bit-field" : "has a member the reader cannot lay out";
        if (!declarator.attributes.first.empty())
            return "has a member with " + QuotedName(declarator.attributes.first) + ", which may move it";
        if (!declarator.refusal.empty() || declarator.pointer || declarator.function || declarator.outerUnbounded)
            return declarator.refusal.empty() ? "has a pointer, function or flexible member" : declarator.refusal;
        std::string refusal;
        CTypePtr type = ObjectType(specifiers.base, declarator, refusal);
        if (!type)
            return refusal;
        members.push_back({declarator.name, std::move(type), 0});
    }
    return {};
}

// gcc's choice for an enum: int when a value is negative, else unsigned
// int; the narrowest that holds every value where enums are short.
std::string CDeclarationParser::EnumBody(CTokens body, std::string& doubt, CScalarType& type)
{
    std::int64_t next = 0;
    std::int64_t lowest = 0;
    std::int64_t highest = 0;
    for (CTokens part : SplitAt(body, ",")) {
        if (part.empty() || part[0].kind != CTokenKind::Identifier)
            return "holds a constant the reader cannot read";
        Note(doubt, part[0]);
        std::int64_t value = next;
        if (part.size() > 1) {
            if (!IsPunctuator(part[1], "="))
                return "holds a constant the reader cannot read";
            const CEvaluatedConstant evaluated
                = EvaluateConstant(part.subspan(2), m_abi, *this, CExpressionMode::Program);
            if (!evaluated.refusal.empty())
                return "holds " + QuotedName(Spelling(part)) + ", which " + evaluated.refusal;
            if (evaluated.value.kind != CConstant::Kind::Integer)
                return "holds " + QuotedName(Spelling(part)) + ", which is not an integer";
            const CIntegerValue& integer = evaluated.value.integer;
            if (!integer.isSigned
                && integer.bits > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
                return "holds a value past what an enum can take";
            value = integer.Signed();
        }
        if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::uint32_t>::max())
            return "holds a value past what an enum can take";
        const bool isInt = value <= std::numeric_limits<std::int32_t>::max();
        CConstant constant;
        constant.integer.bits = static_cast<std::uint64_t>(value);
        constant.integer.width = 4;
        constant.integer.isSigned = isInt;
        if (!isInt)
            constant.integer.bits &= 0xFFFFFFFFu;
        AddToScope(m_scope.AddConstant(part[0].text, {constant, doubt}));
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
        next = value + 1;
    }
    if (lowest < 0 && highest > std::numeric_limits<std::int32_t>::max())
        return "holds values no enum type of the platform holds";
    type = {};
    type.isSigned = lowest < 0;
    type.width = 4;
    if (m_abi.shortEnums) {
        const std::int64_t limit1 = type.isSigned ? 127 : 255;
        const std::int64_t limit2 = type.isSigned ? 32767 : 65535;
        const bool fits1 = highest <= limit1 && lowest >= -128;
        const bool fits2 = highest <= limit2 && lowest >= -32768;
        type.width = fits1 ? 1 : fits2 ? 2 : 4;
    }
    type.align = type.width;
    return {};
}

CDeclarator CDeclarationParser::Declarator(CTokens tokens, std::size_t at)
{
    CDeclarator declarator;
    for (; at < tokens.size() && IsPunctuator(tokens[at], "*"); ++at) {
        declarator.pointer = true;
        while (at + 1 < tokens.size() && tokens[at + 1].kind == CTokenKind::Identifier
            && IsQualifierWord(tokens[at + 1].text))
            ++at;
    }
    if (at < tokens.size() && IsPunctuator(tokens[at], "(")) {
        declarator.refusal = "declares through parentheses (a pointer or a function)";
        at = SkipGroup(tokens, at);
    } else if (at < tokens.size() && tokens[at].kind == CTokenKind::Identifier && !IsAttributeWord(tokens[at].text)) {
        declarator.name = tokens[at].text;
        Note(declarator.doubt, tokens[at]);
        ++at;
    }
    while (at < tokens.size() && declarator.refusal.empty()) {
        const CExprToken& token = tokens[at];
        if (IsPunctuator(token, "[") && !(at + 1 < tokens.size() && IsPunctuator(tokens[at + 1], "[")))
            at = Dimension(tokens, at, declarator);
        else if (IsPunctuator(token, "["))
            at = SkipGroup(tokens, at);   // [[attribute]]
        else if (token.kind == CTokenKind::Identifier && IsAttributeWord(token.text))
            at = ReadAttribute(tokens, at, declarator.attributes);
        else if (IsPunctuator(token, "(")) {
            declarator.function = true;
            at = SkipGroup(tokens, at);
        } else if (token.kind == CTokenKind::Identifier && declarator.function && declarator.dims.empty()) {
            // "NAME(4) name": the first was an attribute macro.
            declarator.function = false;
            declarator.name = token.text;
            Note(declarator.doubt, token);
            ++at;
        } else if (token.kind == CTokenKind::Identifier)
            at = SkipAttribute(tokens, at);   // an attribute macro after the name (PROGMEM)
        else
            break;
    }
    declarator.end = at;
    return declarator;
}

std::size_t CDeclarationParser::Dimension(CTokens tokens, std::size_t at, CDeclarator& declarator)
{
    const std::size_t close = SkipGroup(tokens, at);
    const CTokens inside = tokens.subspan(at + 1, close > at + 1 ? close - at - 2 : 0);
    if (inside.empty()) {
        if (declarator.dims.empty())
            declarator.outerUnbounded = true;
        else
            declarator.refusal = "an inner size of the array is missing";
        declarator.dims.push_back(0);
        return close;
    }
    for (const CExprToken& token : inside)
        Note(declarator.doubt, token);
    std::string spelled(1, '[');
    spelled += Spelling(inside);
    spelled += ']';
    const std::string quoted = QuotedName(spelled);
    const CEvaluatedConstant size = EvaluateConstant(inside, m_abi, *this, CExpressionMode::Program);
    // A size refused still marks the declarator as an array's.
    declarator.dims.push_back(0);
    if (!size.refusal.empty())
        declarator.refusal = quoted + " is a size the reader cannot evaluate: " + size.refusal;
    else if (size.value.kind != CConstant::Kind::Integer)
        declarator.refusal = quoted + " is not an integer size";
    else if (size.value.integer.isSigned && size.value.integer.Signed() < 0)
        declarator.refusal = quoted + " is a negative size";
    else
        declarator.dims.back() = size.value.integer.bits;
    return close;
}

CTypePtr CDeclarationParser::ObjectType(CTypePtr element, const CDeclarator& declarator, std::string& refusal)
{
    CTypePtr type = std::move(element);
    for (std::size_t k = declarator.dims.size(); k-- > 0 && type;)
        type = ArrayObject(type, declarator.dims[k], k == 0 && declarator.outerUnbounded);
    if (!type)
        refusal = "the array is too large";
    return type;
}

bool CDeclarationParser::AddTypedef(const CSpecifiers& specifiers, const CDeclarator& declarator)
{
    CFileScope::CTypeEntry entry;
    entry.doubt = specifiers.doubt.empty() ? declarator.doubt : specifiers.doubt;
    entry.refusal = specifiers.refusal.empty() ? declarator.refusal : specifiers.refusal;
    entry.unknownType = specifiers.unknownType;
    const std::string& attribute
        = specifiers.attributes.first.empty() ? declarator.attributes.first : specifiers.attributes.first;
    if (entry.refusal.empty() && !attribute.empty())
        entry.refusal = QuotedName(declarator.name) + " is defined with " + QuotedName(attribute)
            + ", which the reader does not apply";
    if (entry.refusal.empty() && (declarator.pointer || declarator.function))
        entry.refusal = QuotedName(declarator.name) + " is a pointer or function type";
    // A type no one defines keeps the array's shape over a stand-in, for c1
    // to c9 to widen.
    const CTypePtr element = specifiers.base ? specifiers.base : ScalarObject(CScalarType{});
    if (entry.refusal.empty())
        entry.type = ObjectType(element, declarator, entry.refusal);
    return m_scope.AddTypedef(declarator.name, std::move(entry));
}

CEvaluatedConstant CDeclarationParser::Identifier(std::string_view name)
{
    CEvaluatedConstant evaluated;
    if (const CFileScope::CConstantEntry* constant = m_scope.Constant(name)) {
        evaluated.value = constant->value;
        if (!constant->doubt.empty())
            evaluated.refusal = QuotedName(name) + " is defined from " + QuotedName(constant->doubt)
                + ", whose meaning depends on a condition the reader cannot decide";
        return evaluated;
    }
    evaluated.refusal = QuotedName(name) + " is not defined in the file: define it with -D";
    return evaluated;
}

std::optional<CNamedType> CDeclarationParser::TypeName(std::span<const CExprToken> tokens)
{
    const CSpecifiers specifiers = Specifiers(tokens);
    if (!specifiers.Known() || !specifiers.doubt.empty())
        return std::nullopt;
    const CDeclarator declarator = Declarator(tokens, specifiers.end);
    if (declarator.end != tokens.size() || !declarator.name.empty() || !declarator.refusal.empty()
        || declarator.function)
        return std::nullopt;
    if (declarator.pointer)
        return CNamedType{std::nullopt, static_cast<std::uint64_t>(m_abi.pointerWidth)};
    std::string refusal;
    const CTypePtr type = ObjectType(specifiers.base, declarator, refusal);
    if (!type)
        return std::nullopt;
    return CNamedType{type->IsScalar() ? std::optional(type->scalar) : std::nullopt, type->size};
}
