#include "CInitialiserReader.h"

#include "fileio/QuotedName.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

// An element quoted in a message is cut past this many bytes.
constexpr std::size_t kMaxQuotedText = 60;

constexpr std::uint32_t kIntMax = std::numeric_limits<std::int32_t>::max();

// The largest non-negative int that the type holds as it is.
std::uint32_t LargestKept(const CIntegerType& type)
{
    if (type.width >= 4)
        return kIntMax;
    const int bits = 8 * type.width - (type.isSigned ? 1 : 0);
    return (std::uint32_t{1} << bits) - 1;
}

bool IsPunctuator(const CToken& token, std::string_view text)
{
    return token.kind == CTokenKind::Punctuator && token.text == text;
}

bool IsWordLike(CTokenKind kind)
{
    return kind == CTokenKind::Identifier || kind == CTokenKind::Number || kind == CTokenKind::Character;
}

bool IsConditional(std::string_view directive)
{
    for (std::string_view name : {"if", "ifdef", "ifndef", "elif", "elifdef", "elifndef", "else", "endif"})
        if (directive == name)
            return true;
    return false;
}

// Directives that change no byte of an initialiser they stand in.
bool IsHarmless(std::string_view directive)
{
    return directive.empty() || directive == "define" || directive == "undef" || directive == "pragma"
        || directive == "line";
}

} // namespace

void CInitialiserReader::OnToken(const CToken& token)
{
    if (Failed())
        return;
    m_nLastLine = token.line;
    switch (m_state) {
    case State::Start:
        if (token.kind == CTokenKind::Identifier) {
            m_state = State::Declaration;
            DeclarationToken(token);
            return;
        }
        m_bPasted = true;
        m_state = State::Body;
        m_nWidth = m_byteUnit ? m_byteUnit->Bytes() : 1;
        m_conversion = m_byteUnit ? Conversion::AsWritten : Conversion::FitOneByte;
        m_nPlainMax = m_byteUnit ? kIntMax : 0xFF;
        m_levels.push_back({0, 0, false});
        BodyToken(token);
        return;
    case State::Declaration: DeclarationToken(token); return;
    case State::AfterEquals: AfterEqualsToken(token); return;
    case State::Body: BodyToken(token); return;
    case State::BareString: BareStringToken(token); return;
    case State::Done:
        if (m_bPasted)
            Refuse(token.line, QuotedName(token.text) + " follows the end of the initialiser");
        return;
    }
}

void CInitialiserReader::DeclarationToken(const CToken& token)
{
    if (m_decl.Token(token))
        m_state = State::AfterEquals;
}

void CInitialiserReader::AfterEqualsToken(const CToken& token)
{
    const bool charArrayString
        = token.kind == CTokenKind::String && m_decl.dims.size() == 1 && !m_decl.pointer && m_decl.badDim.empty();
    if (!IsPunctuator(token, "{") && !charArrayString) {
        // Not an array's initialiser ("int n = 5;"): look on.
        m_decl = CArrayDeclaration();
        m_state = State::Declaration;
        DeclarationToken(token);
        return;
    }
    if (!BeginInitialiser(token.line))
        return;
    m_state = charArrayString ? State::BareString : State::Body;
    OpenBrace();
    if (charArrayString)
        BeginString(token);
}

bool CInitialiserReader::BeginInitialiser(long line)
{
    const CArrayDeclaration& decl = m_decl;
    if (decl.pointer) {
        Refuse(line, "the array holds pointers");
        return false;
    }
    if (!decl.badDim.empty()) {
        Refuse(line, QuotedName(decl.badDim) + " is a size the reader cannot evaluate");
        return false;
    }
    if (decl.dims.empty()) {
        Refuse(line, "'=' does not initialise an array");
        return false;
    }
    std::uint64_t total = 1;
    for (std::uint64_t dim : decl.dims) {
        if (dim != 0 && total > CArrayDeclaration::kMaxElements / dim) {
            Refuse(line, "the array is too large");
            return false;
        }
        total *= std::max<std::uint64_t>(dim, 1);
    }
    CTypeReading reading = ReadIntegerType(decl.words);
    if (decl.afterBrace && reading.verdict != CTypeVerdict::Integer)
        reading = {CTypeVerdict::NotInteger, {}, "struct"};
    switch (reading.verdict) {
    case CTypeVerdict::Integer:
        m_conversion = Conversion::ToType;
        m_type = reading.type;
        m_nWidth = m_byteUnit ? m_byteUnit->Bytes() : m_type.width;
        m_nPlainMax = LargestKept(m_type);
        return true;
    case CTypeVerdict::NotInteger: Refuse(line, QuotedName(reading.word) + " elements are not integers"); return false;
    case CTypeVerdict::NotFixedWidth:
        if (!m_byteUnit) {
            Refuse(line, "'long' is 4 or 8 bytes by platform: name the width with c4 or c8");
            return false;
        }
        break;
    case CTypeVerdict::NoBaseType:
        if (!m_byteUnit) {
            Refuse(line, QuotedName(reading.word) + " is not a type of known width: name the width with c1 to c9");
            return false;
        }
        break;
    }
    m_nWidth = m_byteUnit->Bytes();
    m_nPlainMax = kIntMax;
    return true;
}

void CInitialiserReader::BodyToken(const CToken& token)
{
    if (m_place == Place::AfterString && StringGoesOn(token))
        return;
    if (token.kind == CTokenKind::Punctuator && BodyPunctuator(token))
        return;
    if (token.kind == CTokenKind::String && AtElementStart()) {
        BeginString(token);
        return;
    }
    if (m_place == Place::NeedsComma) {
        Refuse(token.line, QuotedName(token.text) + " follows an element without a comma");
        return;
    }
    AddElementToken(token);
    if (token.kind == CTokenKind::String || IsPunctuator(token, "{"))
        RefuseElement("is an expression");
}

// The punctuators that end an element, open or close braces, end a pasted
// body or apply a designator: true when the token was one of them.
bool CInitialiserReader::BodyPunctuator(const CToken& token)
{
    if (token.text == ",") {
        if (AtElementStart())
            Refuse(token.line, "',' follows no element");
        EndElement();
        m_place = Place::Open;
        return true;
    }
    if (token.text == "}") {
        EndElement();
        if (!Failed())
            CloseBrace();
        return true;
    }
    if (token.text == "{" && AtElementStart()) {
        OpenBrace();
        return true;
    }
    if (token.text == ";" && m_bPasted && m_levels.size() == 1) {
        EndElement();
        m_state = State::Done;
        return true;
    }
    if (token.text == "=" && m_nElementTokens > 0) {
        ApplyDesignator();
        return true;
    }
    return false;
}

void CInitialiserReader::BareStringToken(const CToken& token)
{
    if (m_place == Place::AfterString && StringGoesOn(token))
        return;
    if (IsPunctuator(token, ";") || IsPunctuator(token, ","))
        CloseBrace();
    else if (token.kind == CTokenKind::String)
        BeginString(token);
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
    return Failed();
}

void CInitialiserReader::AddElementToken(const CToken& token)
{
    if (m_nElementTokens == 0)
        m_nElementLine = token.line;
    if (m_nElementTokens < kMaxElementTokens) {
        if (m_element.size() <= m_nElementTokens)
            m_element.emplace_back();
        CElementToken& element = m_element[m_nElementTokens];
        element.kind = token.kind;
        element.text.assign(token.text);
        if (!token.decoded.empty() || !element.decoded.empty())
            element.decoded.assign(token.decoded);
        element.undecodable = token.undecodable;
    }
    ++m_nElementTokens;
}

void CInitialiserReader::EndElement()
{
    if (m_nElementTokens == 0)
        return;
    CIntegerValue value;
    if (EvaluateElement(value))
        Write(value, false);
    m_nElementTokens = 0;
}

bool CInitialiserReader::EvaluateElement(CIntegerValue& value)
{
    const std::size_t count = m_nElementTokens;
    if (count > kMaxElementTokens) {
        RefuseElement("is an expression");
        return false;
    }
    std::size_t at = 0;
    if (count == 1)   // most elements: a literal alone
        return ReadPrimary(at, value);
    CPrefixes prefixes;
    if (!ReadPrefixes(at, prefixes) || !ReadPrimary(at, value))
        return false;
    if (at != count) {
        RefuseElement("is an expression");
        return false;
    }
    return ApplyPrefixes(prefixes, value);
}

// The unary signs and casts before the literal, outermost first.
bool CInitialiserReader::ReadPrefixes(std::size_t& at, CPrefixes& prefixes)
{
    const std::size_t count = m_nElementTokens;
    while (at < count && m_element[at].kind == CTokenKind::Punctuator) {
        const std::string& text = m_element[at].text;
        if (text == "-" || text == "+") {
            prefixes.items[prefixes.count++] = {text[0], {}};
            ++at;
            continue;
        }
        if (text != "(")
            break;
        std::vector<std::string> words;
        std::size_t close = at + 1;
        for (; close < count && m_element[close].kind == CTokenKind::Identifier; ++close)
            words.push_back(m_element[close].text);
        if (close >= count || m_element[close].text != ")" || !AllTypeWords(words))
            break;
        const CTypeReading cast = ReadIntegerType(words);
        if (cast.verdict != CTypeVerdict::Integer) {
            RefuseElement("casts to 'long', 4 or 8 bytes by platform");
            return false;
        }
        prefixes.items[prefixes.count++] = {0, cast.type};
        at = close + 1;
    }
    return true;
}

// From the innermost out, as C applies them.
bool CInitialiserReader::ApplyPrefixes(const CPrefixes& prefixes, CIntegerValue& value)
{
    for (std::size_t k = prefixes.count; k-- > 0;) {
        const CPrefix& prefix = prefixes.items[k];
        if (prefix.sign == '-') {
            const CEvaluated negated = Negate(value);
            if (negated.refusal) {
                RefuseElement(negated.refusal);
                return false;
            }
            value = negated.value;
        } else {
            value = prefix.sign == '+' ? Promote(value) : ConvertTo(value, prefix.type);
        }
    }
    return true;
}

bool CInitialiserReader::ReadPrimary(std::size_t& at, CIntegerValue& value)
{
    if (at >= m_nElementTokens) {
        RefuseElement("is an expression");
        return false;
    }
    const CElementToken& token = m_element[at++];
    CEvaluated evaluated;
    switch (token.kind) {
    case CTokenKind::Number: evaluated = ParseIntegerLiteral(token.text); break;
    case CTokenKind::Character:
        if (token.undecodable) {
            RefuseElement("has an escape the reader cannot decode");
            return false;
        }
        evaluated = CharacterValue(std::string_view(token.text).substr(0, token.text.find('\'')), token.decoded);
        break;
    case CTokenKind::Identifier:
        RefuseElement(
            at < m_nElementTokens && m_element[at].text == "(" ? "is a macro call" : "is a macro or enum name");
        return false;
    default: RefuseElement("is an expression"); return false;
    }
    if (evaluated.refusal) {
        RefuseElement(evaluated.refusal);
        return false;
    }
    value = evaluated.value;
    return true;
}

void CInitialiserReader::ApplyDesignator()
{
    const bool index = m_nElementTokens == 3 && m_element[0].text == "[" && m_element[1].kind == CTokenKind::Number
        && m_element[2].text == "]";
    if (!index || m_bPasted) {
        const std::string& first = m_element[0].text;
        RefuseElement(first == "."           ? "names a member of a structure"
                : first == "[" && !m_bPasted ? "is a designator the reader does not take"
                                             : "is an expression");
        return;
    }
    const CEvaluated evaluated = ParseIntegerLiteral(m_element[1].text);
    if (evaluated.refusal || evaluated.value.bits >= CArrayDeclaration::kMaxElements) {
        RefuseElement(evaluated.refusal ? evaluated.refusal : "is past the end of the array");
        return;
    }
    const CLevel& level = m_levels.back();
    const std::uint64_t target = level.start + evaluated.value.bits * ElementSpan(m_levels.size());
    if (target < m_nCursor) {
        RefuseElement("goes back to an element already written");
        return;
    }
    if (level.bounded && target >= level.end) {
        RefuseElement("is past the end of the array");
        return;
    }
    PadTo(target);
    m_nElementTokens = 0;
}

void CInitialiserReader::OpenBrace()
{
    const std::size_t depth = m_levels.size();
    if (m_bPasted) {
        m_levels.push_back({m_nCursor, 0, false});
        return;
    }
    const std::vector<std::uint64_t>& dims = m_decl.dims;
    if (depth == 0) {
        const bool bounded = dims[0] != 0;
        m_levels.push_back({0, bounded ? dims[0] * ElementSpan(1) : 0, bounded});
        return;
    }
    if (depth >= dims.size()) {
        Refuse(m_nLastLine, "'{' goes deeper than the array's " + std::to_string(dims.size()) + " dimension(s)");
        return;
    }
    const std::uint64_t span = ElementSpan(depth);
    const CLevel& parent = m_levels.back();
    if ((m_nCursor - parent.start) % span != 0) {
        Refuse(m_nLastLine, "'{' does not start a whole row");
        return;
    }
    if (parent.bounded && m_nCursor + span > parent.end) {
        Refuse(m_nLastLine, "more elements than the array holds");
        return;
    }
    m_levels.push_back({m_nCursor, m_nCursor + span, true});
}

void CInitialiserReader::CloseBrace()
{
    if (m_levels.empty() || (m_bPasted && m_levels.size() == 1)) {
        Refuse(m_nLastLine, "'}' closes no '{'");
        return;
    }
    const CLevel level = m_levels.back();
    m_levels.pop_back();
    if (level.bounded) {
        PadTo(level.end);
    } else if (!m_bPasted) {
        // An outer "[]" holds whole rows.
        const std::uint64_t span = ElementSpan(1);
        PadTo((m_nCursor + span - 1) / span * span);
    }
    m_place = Place::NeedsComma;
    if (m_levels.empty())
        m_state = State::Done;
}

void CInitialiserReader::BeginString(const CToken& token)
{
    if (token.text != "" && token.text != "u8") {
        Refuse(token.line, QuotedName(std::string(token.text) + '"') + " is a wide string");
        return;
    }
    if (m_bPasted || m_conversion != Conversion::ToType || m_type.width != 1) {
        Refuse(token.line, "a string initialises only a char array");
        return;
    }
    const std::vector<std::uint64_t>& dims = m_decl.dims;
    const std::size_t depth = m_levels.size();
    const CLevel& level = m_levels.back();
    const std::uint64_t rowSpan = dims.back();
    const bool bounded = dims.size() > 1 || dims[0] != 0;
    if (depth == dims.size() ? m_nCursor != level.start
                             : depth + 1 != dims.size() || (m_nCursor - level.start) % rowSpan != 0) {
        Refuse(token.line, "a string stands where it does not start a char array");
        return;
    }
    if (bounded && level.bounded && m_nCursor + rowSpan > level.end) {
        Refuse(token.line, "more elements than the array holds");
        return;
    }
    m_string = {token.line, m_nCursor + rowSpan, bounded};
    m_place = Place::InString;
}

void CInitialiserReader::OnStringByte(unsigned char byte)
{
    if (m_place != Place::InString || Failed())
        return;
    if (m_string.bounded && m_nCursor >= m_string.end) {
        Refuse(m_string.line, "the string is longer than its array");
        return;
    }
    Write(CharacterValue("", std::string_view(reinterpret_cast<const char*>(&byte), 1)).value, true);
}

void CInitialiserReader::OnStringEnd(std::string_view badEscape)
{
    if (m_place != Place::InString || Failed())
        return;
    if (!badEscape.empty()) {
        Refuse(m_string.line, "the string holds " + std::string(badEscape) + ", which the reader cannot decode");
        return;
    }
    m_place = Place::AfterString;
}

void CInitialiserReader::EndString()
{
    m_place = Place::NeedsComma;
    // C adds the terminating zero where the array has room for it.
    if (m_string.bounded)
        PadTo(m_string.end);
    else
        Write(CIntegerValue(), true);
}

void CInitialiserReader::OnDirective(std::string_view name, long line)
{
    if (!InBody() || Failed() || IsHarmless(name))
        return;
    std::string directive(1, '#');
    directive += name;
    Refuse(line,
        QuotedName(directive) + " inside the initialiser is "
            + (IsConditional(name) ? "a condition the reader does not evaluate" : "not read"));
}

// Until the reader weighs what unseen text may have held, text left out
// (under an unknown condition, or an #include's) inside the initialiser is
// refused.
void CInitialiserReader::OnUncertainText(std::string_view condition, long line, bool /*bracket*/)
{
    if (InBody() && !Failed())
        Refuse(line, std::string(condition) + " inside the initialiser is not read");
}

CPlainNumberLimit CInitialiserReader::PlainNumberLimit() const
{
    if (m_state != State::Body || Failed() || !AtElementStart())
        return {0, 0};
    const CLevel& level = m_levels.back();
    if (!level.bounded)
        return {m_nPlainMax, std::numeric_limits<std::uint64_t>::max()};
    return {m_nPlainMax, level.end > m_nCursor ? level.end - m_nCursor : 0};
}

// Each value as Write would give it: within m_nPlainMax no conversion
// changes it, and a non-negative value has zeros past its four bytes.
void CInitialiserReader::OnPlainNumbers(const std::uint32_t* values, std::size_t count, long line)
{
    constexpr std::size_t kPerPut = 512;
    std::array<unsigned char, kPerPut * 9> bytes;
    const auto width = static_cast<std::size_t>(m_nWidth);
    m_nLastLine = line;
    m_nCursor += count;
    while (count > 0) {
        const std::size_t part = std::min(count, kPerPut);
        if (width == 1) {
            for (std::size_t k = 0; k < part; ++k)
                bytes[k] = static_cast<unsigned char>(values[k]);
        } else {
            std::fill_n(bytes.begin(), part * width, 0);
            for (std::size_t k = 0; k < part; ++k)
                for (std::size_t b = 0; b < std::min<std::size_t>(width, 4); ++b)
                    bytes[k * width + b] = static_cast<unsigned char>(values[k] >> (8 * b));
        }
        m_out.PutBytes(bytes.data(), part * width);
        values += part;
        count -= part;
    }
}

void CInitialiserReader::Write(CIntegerValue value, bool fromString)
{
    const auto refuse = [&](const std::string& reason) {
        if (fromString)
            Refuse(m_string.line, "the string " + reason);
        else
            RefuseElement(reason);
    };
    const CLevel& level = m_levels.back();
    if (level.bounded && m_nCursor >= level.end) {
        Refuse(fromString ? m_string.line : m_nElementLine, "more elements than the array holds");
        return;
    }
    if (m_conversion == Conversion::ToType)
        value = ConvertTo(value, m_type);
    if (m_conversion == Conversion::FitOneByte
        && (value.isSigned ? value.Signed() < -128 || value.Signed() > 255 : value.bits > 255)) {
        refuse("does not fit in one byte: name the width with c1 to c9");
        return;
    }
    if (value.charSignDependent && m_nWidth > 1) {
        refuse("holds a char of 0x80 or above, whose wider value depends on the machine");
        return;
    }
    std::array<unsigned char, 9> bytes;
    for (int k = 0; k < m_nWidth; ++k)
        bytes[static_cast<std::size_t>(k)] = value.Byte(k);
    m_out.PutBytes(bytes.data(), static_cast<std::size_t>(m_nWidth));
    ++m_nCursor;
}

void CInitialiserReader::PadTo(std::uint64_t position)
{
    static const std::array<unsigned char, 4096> kZeros{};
    const std::uint64_t perPut = kZeros.size() / static_cast<std::size_t>(m_nWidth);
    while (m_nCursor < position) {
        const std::uint64_t count = std::min(position - m_nCursor, perPut);
        m_out.PutBytes(kZeros.data(), static_cast<std::size_t>(count) * static_cast<std::size_t>(m_nWidth));
        m_nCursor += count;
    }
}

// Elements in one element of the braces at this depth (1: the outer braces).
std::uint64_t CInitialiserReader::ElementSpan(std::size_t depth) const
{
    std::uint64_t span = 1;
    if (!m_bPasted)
        for (std::size_t k = depth; k < m_decl.dims.size(); ++k)
            span *= m_decl.dims[k];
    return span;
}

std::string CInitialiserReader::ElementText() const
{
    std::string text;
    const std::size_t count = std::min(m_nElementTokens, kMaxElementTokens);
    for (std::size_t k = 0; k < count; ++k) {
        if (k > 0 && IsWordLike(m_element[k - 1].kind) && IsWordLike(m_element[k].kind))
            text += ' ';
        text += m_element[k].text;
    }
    if (text.size() > kMaxQuotedText || count < m_nElementTokens)
        text = text.substr(0, kMaxQuotedText) + "...";
    return text;
}

void CInitialiserReader::RefuseElement(const std::string& reason)
{
    Refuse(m_nElementLine, QuotedName(ElementText()) + " " + reason);
}

void CInitialiserReader::Refuse(long line, const std::string& reason)
{
    if (Failed())
        return;
    m_strError = line > 0 ? "line " + std::to_string(line) + ": " + reason : reason;
}

bool CInitialiserReader::Finish()
{
    if (!Failed()) {
        switch (m_state) {
        case State::Start:
        case State::Done: break;
        case State::Declaration:
        case State::AfterEquals: Refuse(0, "no '=' is followed by an initialiser in braces"); break;
        case State::BareString: Refuse(m_nLastLine, "the initialiser is never closed"); break;
        case State::Body:
            if (m_bPasted && m_levels.size() == 1)
                EndElement();
            else
                Refuse(m_nLastLine, "the initialiser is never closed");
            break;
        }
    }
    return !Failed();
}
