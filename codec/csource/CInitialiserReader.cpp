#include "CInitialiserReader.h"

#include "fileio/QuotedName.h"

#include <algorithm>

namespace {

bool IsPunctuator(const CToken& token, std::string_view text)
{
    return token.kind == CTokenKind::Punctuator && token.text == text;
}

// Each scalar of an integer type as the c1 to c9 width names it; none when
// the type holds anything else.
CTypePtr AtUnitWidth(const CTypePtr& type, int width)
{
    if (type->IsScalar()) {
        if (type->scalar.kind == CScalarType::Kind::Float || type->scalar.kind == CScalarType::Kind::Double)
            return nullptr;
        CScalarType scalar = type->scalar;
        scalar.width = width;
        scalar.align = 1;
        auto widened = std::make_shared<CObjectType>(*ScalarObject(scalar));
        widened->widenedChar = type->scalar.width == 1;
        return widened;
    }
    if (!type->IsArray())
        return nullptr;
    CTypePtr element = AtUnitWidth(type->element, width);
    return element ? ArrayObject(element, type->count, type->unbounded) : nullptr;
}

// An element's refusal: the element quoted, then why; a reason that quotes
// a name of its own follows a colon, unless the element is that name.
std::string ElementRefusal(const std::string& quoted, const std::string& reason)
{
    if (reason.starts_with(quoted + " "))
        return reason;
    if (reason.starts_with("'") || reason.starts_with("$'"))
        return quoted + ": " + reason;
    return quoted + " " + reason;
}

const char* ElementKind(const CObjectType& type)
{
    if (type.IsArray())
        return ElementKind(*type.element);
    return type.IsScalar() ? "floating values" : "structures";
}

} // namespace

CInitialiserReader::CInitialiserReader(CElementSink& out, CRefusal& refusal, const CSourceOptions& options)
    : m_refusal(refusal)
    , m_byteUnit(options.byteUnit)
    , m_strArrayName(options.arrayName)
    , m_parser(AbiFor(options.abi), m_scope)
    , m_walk(out, refusal)
{
}

CExprToken CInitialiserReader::Kept(const CToken& token)
{
    CExprToken kept;
    kept.kind = token.kind;
    kept.text.assign(token.text);
    kept.decoded.assign(token.decoded);
    kept.undecodable = token.undecodable;
    kept.uncertain = token.uncertain;
    kept.line = token.line;
    return kept;
}

void CInitialiserReader::OnToken(const CToken& token)
{
    if (m_refusal.Failed())
        return;
    m_nLastLine = token.line;
    // Only a cut token's start is known: two may look equal and differ.
    if (token.truncated && m_state != State::SkipInitialiser && m_state != State::SkipBraces
        && m_state != State::Done) {
        Refuse(token.line,
            QuotedName(token.text.substr(0, kMaxQuotedToken)) + "... is longer than the "
                + std::to_string(CSourceLexer::kMaxTokenText) + " bytes the reader keeps of a name or number");
        return;
    }
    switch (m_state) {
    case State::Start: StartToken(token); return;
    case State::Declaration: DeclarationToken(token); return;
    case State::SkipInitialiser:
    case State::SkipBraces: SkipToken(token); return;
    case State::AfterEquals: AfterEqualsToken(token); return;
    case State::Body: BodyToken(token); return;
    case State::BareString: BareStringToken(token); return;
    case State::Done:
        if (m_bPasted)
            Refuse(token.line, QuotedName(token.text) + " follows the end of the initialiser");
        else
            SkipToken(token);
        return;
    }
}

// A name starts a declaration; anything else is a pasted body, an array
// of bytes (or of the c1 to c9 width) with no declaration.
void CInitialiserReader::StartToken(const CToken& token)
{
    if (token.kind == CTokenKind::Identifier) {
        m_state = State::Declaration;
        DeclarationToken(token);
        return;
    }
    if (!m_strArrayName.empty()) {
        Refuse(token.line, QuotedName(token.text) + " starts no declaration: the text names no array");
        return;
    }
    m_bPasted = true;
    m_state = State::Body;
    CScalarType element;
    element.width = m_byteUnit ? m_byteUnit->Bytes() : 1;
    element.isSigned = false;
    element.align = 1;
    m_walk.Begin(ArrayObject(ScalarObject(element), 0, true), {m_byteUnit ? m_byteUnit->Bytes() : 0, !m_byteUnit},
        CInitialiserWalk::kMaxZeroFillOverSource);
    m_walk.Open(token.line);
    BodyToken(token);
}

void CInitialiserReader::DeclarationToken(const CToken& token)
{
    if (m_decl.size() >= kMaxDeclarationTokens) {
        Refuse(token.line, "a declaration holds more than " + std::to_string(kMaxDeclarationTokens) + " tokens");
        return;
    }
    if (m_nDeclBraces > 0 || m_nDeclParens > 0) {
        m_nDeclBraces += IsPunctuator(token, "{") ? 1 : IsPunctuator(token, "}") ? -1 : 0;
        m_nDeclParens += IsPunctuator(token, "(") ? 1 : IsPunctuator(token, ")") ? -1 : 0;
        m_decl.push_back(Kept(token));
        return;
    }
    if (token.kind == CTokenKind::Punctuator) {
        DeclarationPunctuator(token);
        return;
    }
    // The pragma operators may hold a pack; which one is not read.
    if (token.text == "_Pragma" || token.text == "__pragma")
        m_parser.SetLayoutPragma(QuotedName(token.text));
    m_decl.push_back(Kept(token));
}

void CInitialiserReader::DeclarationPunctuator(const CToken& token)
{
    const std::string_view text = token.text;
    if (text == ";" || text == "," || text == "=") {
        const CDeclarator declarator = EndDeclarator();
        AfterDeclarator(declarator, token);
    } else if (text == "{") {
        OpenBraceInDeclaration(token);
    } else if (text == "}") {
        // The end of an extern "C" or namespace block read through.
        m_decl.clear();
        m_specifiers.reset();
    } else {
        m_nDeclParens += text == "(" ? 1 : text == ")" ? -1 : 0;
        m_decl.push_back(Kept(token));
    }
}

void CInitialiserReader::OpenBraceInDeclaration(const CToken& token)
{
    const bool block = (m_decl.size() == 2 && m_decl[0].text == "extern" && m_decl[1].kind == CTokenKind::String)
        || (!m_decl.empty() && m_decl[0].text == "namespace");
    if (block) {
        m_decl.clear();
        m_specifiers.reset();
        return;
    }
    if (OpensTaggedBody()) {
        ++m_nDeclBraces;
        m_decl.push_back(Kept(token));
        return;
    }
    // C++ list-initialisation, "T a[] {1, 2}": a declarator just ended.
    if (!m_decl.empty() && (m_decl.back().text == "]" || m_decl.back().kind == CTokenKind::Identifier)) {
        const CDeclarator declarator = EndDeclarator();
        if (IsTarget(declarator)) {
            if (BeginTarget(declarator, token.line))
                AfterEqualsToken(token);
            return;
        }
    }
    // A function's body, or a block the reader has no use for.
    m_state = State::SkipBraces;
    m_nSkipDepth = 1;
}

// A '{' after "struct", "union" or "enum" and an optional tag opens the
// body of a type being defined.
bool CInitialiserReader::OpensTaggedBody() const
{
    for (std::size_t k = m_decl.size(); k-- > 0;) {
        const std::string& text = m_decl[k].text;
        if (text == "struct" || text == "union" || text == "enum" || text == "class")
            return true;
        if (m_decl[k].kind != CTokenKind::Identifier && text != "(" && text != ")")
            return false;
    }
    return false;
}

const CDeclarator CInitialiserReader::EndDeclarator()
{
    const CTokens tokens(m_decl);
    if (!m_specifiers)
        m_specifiers = m_parser.Specifiers(tokens);
    CDeclarator declarator = m_parser.Declarator(tokens, m_specifiers->end);
    if (m_specifiers->isTypedef && !declarator.name.empty() && !m_parser.AddTypedef(*m_specifiers, declarator))
        Refuse(m_decl.empty() ? m_nLastLine : m_decl.front().line,
            "the file defines more than " + std::to_string(CFileScope::kMaxNames) + " names");
    if (m_parser.ScopeFull())
        Refuse(m_nLastLine, "the file defines more than " + std::to_string(CFileScope::kMaxNames) + " names");
    return declarator;
}

void CInitialiserReader::AfterDeclarator(const CDeclarator& declarator, const CToken& token)
{
    if (m_refusal.Failed())
        return;
    const std::size_t specifiersEnd = m_specifiers ? m_specifiers->end : 0;
    if (token.text == "=") {
        if (IsTarget(declarator)) {
            if (BeginTarget(declarator, token.line))
                m_state = State::AfterEquals;
            return;
        }
        m_state = State::SkipInitialiser;
        m_nSkipDepth = 0;
        m_decl.resize(std::min(m_decl.size(), specifiersEnd));
        return;
    }
    if (token.text == ",") {
        m_decl.resize(std::min(m_decl.size(), specifiersEnd));
        return;
    }
    m_decl.clear();
    m_specifiers.reset();
}

// The array named, or else the first declarator with an initialiser that
// declares an array (or what may be one: its type is not known).
bool CInitialiserReader::IsTarget(const CDeclarator& declarator) const
{
    if (!m_strArrayName.empty())
        return declarator.name == m_strArrayName;
    if (declarator.function || declarator.name.empty())
        return false;
    const CSpecifiers& specifiers = *m_specifiers;
    return !declarator.dims.empty() || (specifiers.base && specifiers.base->IsArray());
}

bool CInitialiserReader::BeginTarget(const CDeclarator& declarator, long line)
{
    if (!m_strUncertainArray.empty() && m_strArrayName.empty()) {
        Refuse(line,
            "an array may stand before this one under " + m_strUncertainArray
                + ", which the reader cannot decide: name the array with --array, or the condition with -D or -U");
        return false;
    }
    std::string refusal = TargetRefusal(declarator);
    CTypePtr type = refusal.empty() ? TargetType(declarator, refusal) : nullptr;
    if (!type) {
        Refuse(line, refusal);
        return false;
    }
    const std::uint64_t zeroLimit = CInitialiserWalk::kMaxZeroFillOverSource + m_nSourceSize;
    // An element's text gives at most 9 bytes for its 2 ("0,"): the rest of
    // a sized array is zeros, refused before a byte is written.
    if (m_bWholeSource && !type->unbounded && type->size / 5 > zeroLimit) {
        Refuse(line,
            "the array's " + std::to_string(type->size)
                + " bytes are more than 1 GiB past what its source can give: the reader does not write them");
        return false;
    }
    m_bTargetTakesString = type->IsByteArray();
    m_walk.Begin(std::move(type), {m_byteUnit ? m_byteUnit->Bytes() : 0, false}, zeroLimit);
    return true;
}

std::string CInitialiserReader::TargetRefusal(const CDeclarator& declarator) const
{
    const CSpecifiers& specifiers = *m_specifiers;
    const std::string& doubt = specifiers.doubt.empty() ? declarator.doubt : specifiers.doubt;
    if (!doubt.empty())
        return QuotedName(doubt) + " is defined under a condition the reader cannot decide: name it with -D or -U";
    if (!declarator.refusal.empty())
        return declarator.refusal;
    if (declarator.pointer || declarator.function)
        return "the array holds pointers";
    if (!specifiers.refusal.empty())
        return specifiers.refusal;
    for (const CAttributes& attributes : {specifiers.attributes, declarator.attributes})
        if (attributes.changesBytes)
            return "the array is declared with " + QuotedName(attributes.first) + ", which the reader does not apply";
    if (!specifiers.Known() && !m_byteUnit)
        return QuotedName(specifiers.unknownType.empty() ? declarator.name : specifiers.unknownType)
            + " is not a type the file defines: name the width with c1 to c9";
    return {};
}

CTypePtr CInitialiserReader::TargetType(const CDeclarator& declarator, std::string& refusal) const
{
    const CSpecifiers& specifiers = *m_specifiers;
    CTypePtr element = specifiers.base;
    if (m_byteUnit) {
        CScalarType unit;
        unit.width = m_byteUnit->Bytes();
        unit.align = 1;
        const CTypePtr converted = element ? AtUnitWidth(element, unit.width) : ScalarObject(unit);
        // c1 to c9 give a type no one defines its shape: its scalars as wide as named.
        if (!converted) {
            refusal = "c" + std::to_string(unit.width) + " reads integer elements only, and these are "
                + ElementKind(*element);
            return nullptr;
        }
        element = converted;
    }
    CTypePtr type = CDeclarationParser::ObjectType(element, declarator, refusal);
    if (type && !type->IsArray()) {
        refusal = QuotedName(declarator.name) + " is not an array";
        return nullptr;
    }
    return type;
}

void CInitialiserReader::SkipToken(const CToken& token)
{
    if (token.kind != CTokenKind::Punctuator)
        return;
    const std::string_view text = token.text;
    if (text == "{" || text == "(" || text == "[") {
        ++m_nSkipDepth;
        return;
    }
    if (text == "}" || text == ")" || text == "]") {
        m_nSkipDepth -= m_nSkipDepth > 0 ? 1 : 0;
        if (m_nSkipDepth == 0 && m_state == State::SkipBraces) {
            m_state = State::Declaration;
            m_decl.clear();
            m_specifiers.reset();
        }
        return;
    }
    if (m_state == State::SkipInitialiser && m_nSkipDepth == 0 && (text == "," || text == ";")) {
        m_state = State::Declaration;
        if (text == ";") {
            m_decl.clear();
            m_specifiers.reset();
        }
    }
}

void CInitialiserReader::AfterEqualsToken(const CToken& token)
{
    if (IsPunctuator(token, "{")) {
        m_walk.Open(token.line);
        m_state = State::Body;
        return;
    }
    if (token.kind == CTokenKind::String && m_bTargetTakesString) {
        m_walk.Open(token.line);
        m_state = State::BareString;
        BeginString(token);
        return;
    }
    Refuse(token.line,
        token.kind == CTokenKind::String ? "a string initialises only a char array"
                                         : "'=' does not initialise an array");
}

void CInitialiserReader::BodyToken(const CToken& token)
{
    if (m_place == Place::AfterString && StringGoesOn(token))
        return;
    if (token.kind == CTokenKind::Punctuator && m_nElementParens == 0 && BodyPunctuator(token))
        return;
    if (token.kind == CTokenKind::String && m_nElementTokens == 0 && m_place == Place::Open) {
        BeginString(token);
        return;
    }
    if (m_place == Place::NeedsComma) {
        Refuse(token.line, QuotedName(token.text) + " follows an element without a comma");
        return;
    }
    AddElementToken(token);
    if (token.kind == CTokenKind::String || IsPunctuator(token, "{")) {
        EndElement();   // refused: a string or braces inside an expression
    }
}

// The punctuators that end an element, open or close braces, end a pasted
// body or apply a designator: true when the token was one of them.
bool CInitialiserReader::BodyPunctuator(const CToken& token)
{
    const bool atStart = m_nElementTokens == 0 && m_place == Place::Open;
    if (token.text == ",") {
        if (atStart)
            Refuse(token.line, "',' follows no element");
        EndElement();
        m_place = Place::Open;
        return true;
    }
    if (token.text == "}" || (token.text == "{" && atStart)) {
        EndElement();
        if (m_bPasted)
            PastedBrace(token);
        else if (token.text == "{")
            m_walk.Open(token.line);
        else if (m_walk.Close(token.line) && m_walk.Done())
            EnterDone();
        m_place = token.text == "{" ? Place::Open : Place::NeedsComma;
        return true;
    }
    if (token.text == ";" && m_bPasted && m_nPastedDepth == 0) {
        EndElement();
        CloseBody(token.line);
        return true;
    }
    if (token.text == "=" && m_nElementTokens > 0) {
        ApplyDesignator();
        return true;
    }
    return false;
}

// A pasted body's braces only group its elements.
void CInitialiserReader::PastedBrace(const CToken& token)
{
    if (token.text == "{") {
        if (++m_nPastedDepth > kMaxPastedDepth)
            Refuse(token.line, "braces nest deeper than " + std::to_string(kMaxPastedDepth));
        return;
    }
    if (m_nPastedDepth == 0) {
        Refuse(token.line, "'}' closes no '{'");
        return;
    }
    --m_nPastedDepth;
}

void CInitialiserReader::CloseBody(long line)
{
    if (m_walk.Close(line))
        EnterDone();
}

// What follows is only counted for its braces.
void CInitialiserReader::EnterDone()
{
    m_state = State::Done;
    m_nSkipDepth = 0;
}

void CInitialiserReader::BareStringToken(const CToken& token)
{
    if (m_place == Place::AfterString && StringGoesOn(token))
        return;
    if (IsPunctuator(token, ";") || IsPunctuator(token, ","))
        CloseBody(token.line);
    else
        Refuse(token.line, QuotedName(token.text) + " follows the string");
}

// After a string's end: true when the token is taken, as an adjacent string
// that joins it, or as the refusal that ending the string gave.
bool CInitialiserReader::StringGoesOn(const CToken& token)
{
    if (token.kind == CTokenKind::String) {
        m_place = Place::InString;
        return true;
    }
    EndString();
    return m_refusal.Failed();
}

void CInitialiserReader::BeginString(const CToken& token)
{
    if (token.text != "" && token.text != "u8") {
        Refuse(token.line, QuotedName(std::string(token.text) + '"') + " is a wide string");
        return;
    }
    if (m_bPasted) {
        Refuse(token.line, "a string initialises only a char array");
        return;
    }
    m_nStringLine = token.line;
    if (m_walk.BeginString(token.line))
        m_place = Place::InString;
}

void CInitialiserReader::OnStringByte(unsigned char byte)
{
    if (m_place == Place::InString && !m_refusal.Failed() && (m_state == State::Body || m_state == State::BareString))
        m_walk.StringByte(byte);
}

void CInitialiserReader::OnStringEnd(std::string_view badEscape)
{
    if (m_place != Place::InString || m_refusal.Failed())
        return;
    if (!badEscape.empty()) {
        Refuse(m_nStringLine, "the string holds " + std::string(badEscape) + ", which the reader cannot decode");
        return;
    }
    m_place = Place::AfterString;
}

void CInitialiserReader::EndString()
{
    m_place = Place::NeedsComma;
    m_walk.EndString();
}

void CInitialiserReader::AddElementToken(const CToken& token)
{
    if (m_nElementTokens == 0)
        m_nElementLine = token.line;
    m_nElementParens += IsPunctuator(token, "(") ? 1 : IsPunctuator(token, ")") ? -1 : 0;
    if (m_nElementTokens == kMaxElementTokens) {
        Refuse(m_nElementLine, Quoted() + " is an expression longer than the reader takes");
        return;
    }
    if (m_element.size() <= m_nElementTokens)
        m_element.emplace_back();
    m_element[m_nElementTokens++] = Kept(token);
}

std::string CInitialiserReader::Quoted() const
{
    return QuotedName(Spelling(CTokens(m_element.data(), m_nElementTokens)));
}

// An element made from a name defined under a condition the reader cannot
// decide is refused: that name may mean something else.
bool CInitialiserReader::ElementDoubt()
{
    for (std::size_t k = 0; k < m_nElementTokens; ++k)
        if (m_element[k].uncertain) {
            Refuse(m_nElementLine,
                ElementRefusal(Quoted(),
                    QuotedName(m_element[k].text)
                        + " is defined under a condition the reader cannot decide: name it with -D or -U"));
            return true;
        }
    return false;
}

void CInitialiserReader::EndElement()
{
    if (m_nElementTokens == 0 || m_refusal.Failed())
        return;
    if (!ElementDoubt()) {
        const CEvaluatedConstant value = EvaluateConstant(
            CTokens(m_element.data(), m_nElementTokens), m_parser.Abi(), m_parser, CExpressionMode::Program);
        if (!value.refusal.empty())
            Refuse(m_nElementLine, ElementRefusal(Quoted(), value.refusal));
        else
            m_walk.Value(value.value, m_nElementLine, Quoted());
    }
    m_nElementTokens = 0;
    m_nElementParens = 0;
}

// "[2] =", ".x =", "[1].y[0] =": the steps before the '='.
void CInitialiserReader::ApplyDesignator()
{
    const CTokens tokens(m_element.data(), m_nElementTokens);
    std::vector<CDesignatorStep> steps;
    for (std::size_t at = 0; at < tokens.size() && !m_refusal.Failed();) {
        if (IsPunctuator(tokens[at], ".") && at + 1 < tokens.size() && tokens[at + 1].kind == CTokenKind::Identifier) {
            steps.push_back({true, tokens[at + 1].text, 0});
            at += 2;
            continue;
        }
        if (!IsPunctuator(tokens[at], "[")) {
            Refuse(m_nElementLine, Quoted() + " is a designator the reader does not take");
            break;
        }
        const std::size_t close = SkipGroup(tokens, at);
        const CEvaluatedConstant index = EvaluateConstant(
            tokens.subspan(at + 1, close - at - 2), m_parser.Abi(), m_parser, CExpressionMode::Program);
        if (!index.refusal.empty())
            Refuse(m_nElementLine, ElementRefusal(Quoted(), index.refusal));
        else if (index.value.kind != CConstant::Kind::Integer
            || (index.value.integer.isSigned && index.value.integer.Signed() < 0))
            Refuse(m_nElementLine, Quoted() + " is not an index of the array");
        steps.push_back({false, {}, index.value.integer.bits});
        at = close;
    }
    if (!m_refusal.Failed() && !ElementDoubt())
        m_walk.Designate(steps, m_nElementLine, Quoted());
    m_nElementTokens = 0;
    m_nElementParens = 0;
}

void CInitialiserReader::OnUncertainText(std::string_view condition, long line, bool bracket)
{
    if (m_refusal.Failed() || m_state == State::Done)
        return;
    const bool reading = m_state == State::Body || m_state == State::BareString || m_state == State::AfterEquals
        || (m_state == State::Declaration && !m_decl.empty());
    if (reading) {
        const bool included = condition.starts_with("'#include");
        Refuse(line,
            "the array's text depends on " + std::string(condition)
                + (included ? ", which the reader does not read"
                            : ", which the reader cannot decide: define or undefine its names with -D or -U"));
        return;
    }
    if (bracket && m_strUncertainArray.empty())
        m_strUncertainArray = std::string(condition) + " (line " + std::to_string(line) + ")";
}

// Structures defined from here on may be laid out otherwise: each is refused.
void CInitialiserReader::OnLayoutPragma(std::string_view pragma, long /*line*/)
{
    m_parser.SetLayoutPragma(pragma);
}

CPlainNumberLimit CInitialiserReader::PlainNumberLimit() const
{
    if (m_state != State::Body || m_refusal.Failed() || m_nElementTokens != 0 || m_place != Place::Open)
        return {0, 0};
    return m_walk.PlainLimit();
}

void CInitialiserReader::OnPlainNumbers(const std::uint32_t* values, std::size_t count, long line)
{
    m_nLastLine = line;
    m_walk.PlainNumbers(values, count);
}

void CInitialiserReader::RefuseNoArray()
{
    std::string missing = m_strArrayName.empty() ? "the file initialises no array"
                                                 : "the file initialises no array " + QuotedName(m_strArrayName);
    if (!m_strUncertainArray.empty())
        missing += "; one may stand under " + m_strUncertainArray + ", which the reader cannot decide";
    Refuse(0, missing);
}

bool CInitialiserReader::Finish()
{
    if (m_refusal.Failed())
        return false;
    switch (m_state) {
    case State::Done:
        // The rest is not read, but a file cut inside braces compiles to nothing.
        if (m_nSkipDepth > 0)
            Refuse(m_nLastLine, "the file ends inside braces or parentheses opened after the array");
        break;
    case State::Start:
        // An empty text is an empty pasted body, unless an array was asked for
        // or may stand where the reader could not look.
        if (m_strUncertainArray.empty() && m_strArrayName.empty())
            break;
        RefuseNoArray();
        break;
    case State::Body:
        if (m_bPasted && m_nPastedDepth == 0) {
            EndElement();
            CloseBody(m_nLastLine);
            break;
        }
        Refuse(m_nLastLine, "the initialiser is never closed");
        break;
    case State::BareString:
    case State::AfterEquals: Refuse(m_nLastLine, "the initialiser is never closed"); break;
    default: RefuseNoArray();
    }
    return !m_refusal.Failed();
}
