#include "CIntegerValue.h"

#include "textarray/HexTables.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

struct CNamedType
{
    std::string_view name;
    CIntegerType type;
};

// Fixed-width names of the C library, and of the kernel, Windows and
// firmware headers that arrays are often copied from.
constexpr std::array<CNamedType, 35> kNamedTypes = {{
    {"int8_t", {1, true, false}},
    {"uint8_t", {1, false, false}},
    {"int16_t", {2, true, false}},
    {"uint16_t", {2, false, false}},
    {"int32_t", {4, true, false}},
    {"uint32_t", {4, false, false}},
    {"int64_t", {8, true, false}},
    {"uint64_t", {8, false, false}},
    {"s8", {1, true, false}},
    {"u8", {1, false, false}},
    {"s16", {2, true, false}},
    {"u16", {2, false, false}},
    {"s32", {4, true, false}},
    {"u32", {4, false, false}},
    {"s64", {8, true, false}},
    {"u64", {8, false, false}},
    {"__s8", {1, true, false}},
    {"__u8", {1, false, false}},
    {"__s16", {2, true, false}},
    {"__u16", {2, false, false}},
    {"__s32", {4, true, false}},
    {"__u32", {4, false, false}},
    {"__s64", {8, true, false}},
    {"__u64", {8, false, false}},
    {"BYTE", {1, false, false}},
    {"WORD", {2, false, false}},
    {"DWORD", {4, false, false}},
    {"INT8", {1, true, false}},
    {"UINT8", {1, false, false}},
    {"INT16", {2, true, false}},
    {"UINT16", {2, false, false}},
    {"INT32", {4, true, false}},
    {"UINT32", {4, false, false}},
    {"INT64", {8, true, false}},
    {"UINT64", {8, false, false}},
}};

constexpr std::array<std::string_view, 17> kNotIntegerWords = {"struct", "union", "enum", "class", "float", "double",
    "bool", "_Bool", "wchar_t", "char8_t", "char16_t", "char32_t", "void", "auto", "_Complex", "size_t", "ssize_t"};

constexpr std::array<std::string_view, 14> kQualifiers
    = {"const", "volatile", "static", "extern", "register", "constexpr", "inline", "thread_local", "_Thread_local",
        "restrict", "__restrict", "__restrict__", "typename", "mutable"};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& words, std::string_view word)
{
    return std::find(words.begin(), words.end(), word) != words.end();
}

const CIntegerType* NamedType(std::string_view word)
{
    const auto found = std::find_if(
        kNamedTypes.begin(), kNamedTypes.end(), [word](const CNamedType& named) { return named.name == word; });
    return found == kNamedTypes.end() ? nullptr : &found->type;
}

bool IsBaseWord(std::string_view word)
{
    return word == "signed" || word == "unsigned" || word == "char" || word == "short" || word == "int"
        || word == "long" || NamedType(word) != nullptr;
}

std::uint64_t Mask(int width)
{
    return width >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * width)) - 1;
}

CIntegerValue Normalised(std::uint64_t bits, int width, bool isSigned)
{
    CIntegerValue value;
    value.width = width;
    value.isSigned = isSigned;
    bits &= Mask(width);
    if (isSigned && width < 8 && (bits >> (8 * width - 1)) != 0)
        bits |= ~Mask(width);
    value.bits = bits;
    return value;
}

// c's value as a digit of base (16 at most), or kNotADigit.
int DigitOf(char c, int base)
{
    const int value = hex_tables::HexValueOf(static_cast<unsigned char>(c));
    return value < base ? value : hex_tables::kNotADigit;
}

bool ReadSuffix(std::string_view text, CIntegerLiteral& suffix)
{
    if (!text.empty() && (text.front() == 'u' || text.front() == 'U')) {
        suffix.isUnsigned = true;
        text.remove_prefix(1);
    }
    for (std::string_view longSuffix : {"ll", "LL", "l", "L"}) {
        if (text.substr(0, longSuffix.size()) == longSuffix) {
            suffix.longs = static_cast<int>(longSuffix.size());
            text.remove_prefix(longSuffix.size());
            break;
        }
    }
    if (!suffix.isUnsigned && !text.empty() && (text.front() == 'u' || text.front() == 'U')) {
        suffix.isUnsigned = true;
        text.remove_prefix(1);
    }
    return text.empty();
}

} // namespace

CTypeReading ReadIntegerType(const std::vector<std::string>& words)
{
    int longs = 0;
    bool isShort = false, isChar = false, isInt = false, isSigned = false, isUnsigned = false;
    const CIntegerType* named = nullptr;
    std::string unknown;
    for (const std::string& word : words) {
        if (Contains(kNotIntegerWords, word))
            return {CTypeVerdict::NotInteger, {}, word};
        longs += word == "long";
        isShort = isShort || word == "short";
        isChar = isChar || word == "char";
        isInt = isInt || word == "int";
        isSigned = isSigned || word == "signed";
        isUnsigned = isUnsigned || word == "unsigned";
        if (const CIntegerType* type = NamedType(word))
            named = type;
        if (unknown.empty() && !IsBaseWord(word) && !Contains(kQualifiers, word))
            unknown = word;
    }
    if (named)
        return {CTypeVerdict::Integer, *named, {}};
    if (longs == 1)
        return {CTypeVerdict::NotFixedWidth, {}, "long"};
    if (!isShort && !isChar && !isInt && !isSigned && !isUnsigned && longs == 0)
        return {CTypeVerdict::NoBaseType, {}, unknown};
    CIntegerType type;
    type.width = isChar ? 1 : isShort ? 2 : longs == 2 ? 8 : 4;
    type.isSigned = !isUnsigned;
    type.plainChar = isChar && !isSigned && !isUnsigned;
    return {CTypeVerdict::Integer, type, {}};
}

bool AllTypeWords(const std::vector<std::string>& words)
{
    return !words.empty() && std::all_of(words.begin(), words.end(), [](const std::string& word) {
        return IsBaseWord(word) || word == "const" || word == "volatile";
    });
}

unsigned char CIntegerValue::Byte(int k) const
{
    if (k >= 8)
        return isSigned && Signed() < 0 ? 0xFF : 0x00;
    return static_cast<unsigned char>(bits >> (8 * k));
}

CIntegerValue MakeInteger(std::uint64_t bits, int width, bool isSigned)
{
    return Normalised(bits, width, isSigned);
}

CIntegerLiteral ReadIntegerLiteral(std::string_view text)
{
    CIntegerLiteral literal;
    const bool hex = text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const bool binary = text.size() > 1 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B');
    for (char c : text)
        if (c == '.' || (hex ? c == 'p' || c == 'P' : c == 'e' || c == 'E'))
            return {.refusal = "is a floating value"};
    const int base = hex ? 16 : binary ? 2 : text[0] == '0' ? 8 : 10;
    literal.decimal = base == 10;
    std::size_t at = hex || binary ? 2 : 0;
    int digits = 0;
    for (; at < text.size(); ++at) {
        if (text[at] == '\'') {
            // A separator stands between two digits.
            if (digits == 0 || at + 1 >= text.size() || DigitOf(text[at + 1], base) == hex_tables::kNotADigit)
                return {.refusal = "is not a valid number"};
            continue;
        }
        const int digit = DigitOf(text[at], base);
        if (digit == hex_tables::kNotADigit) {
            // 8 and 9 in an octal literal make it invalid, not a suffix.
            if (base == 8 && hex_tables::IsDecimalDigit(static_cast<unsigned char>(text[at])))
                return {.refusal = "is not a valid number"};
            break;
        }
        if (literal.magnitude > (std::numeric_limits<std::uint64_t>::max() - static_cast<unsigned>(digit)) / base)
            return {.refusal = "is too large for any integer type"};
        literal.magnitude = literal.magnitude * base + static_cast<unsigned>(digit);
        ++digits;
    }
    if (digits == 0 || !ReadSuffix(text.substr(at), literal))
        return {.refusal = "is not a valid number"};
    return literal;
}

CEvaluated TypedIntegerLiteral(const CIntegerLiteral& literal, int longWidth)
{
    // int, long and long long from the suffix's rank on; each signed unless
    // u says otherwise, then unsigned for a hex, octal or binary literal.
    const std::array<int, 3> widths = {4, longWidth, 8};
    const bool mayBeUnsigned = literal.isUnsigned || !literal.decimal;
    for (std::size_t rank = static_cast<std::size_t>(literal.longs); rank < widths.size(); ++rank) {
        const int width = widths[rank];
        if (!literal.isUnsigned && literal.magnitude <= Mask(width) >> 1)
            return {Normalised(literal.magnitude, width, true), nullptr};
        if (mayBeUnsigned && literal.magnitude <= Mask(width))
            return {Normalised(literal.magnitude, width, false), nullptr};
    }
    return {{}, "is too large for any signed type"};
}

CEvaluated ParseIntegerLiteral(std::string_view text)
{
    const CIntegerLiteral literal = ReadIntegerLiteral(text);
    if (literal.refusal)
        return {{}, literal.refusal};
    return TypedIntegerLiteral(literal, 8);
}

CEvaluated CharacterValue(std::string_view prefix, std::string_view bytes)
{
    if (bytes.size() != 1)
        return {{}, bytes.empty() ? "is an empty character" : "is a multi-character constant"};
    const auto byte = static_cast<unsigned char>(bytes[0]);
    if (prefix.empty()) {
        CIntegerValue value = Normalised(byte, 1, true);
        value.charSignDependent = byte >= 0x80;
        return {Promote(value), nullptr};
    }
    if (prefix == "u8" || byte < 0x80)
        return {Normalised(byte, 4, true), nullptr};
    return {{}, "is a wide character"};
}

CIntegerValue ConvertTo(CIntegerValue value, const CIntegerType& type)
{
    const bool dependent = value.charSignDependent;
    CIntegerValue converted = Normalised(value.bits, type.width, type.isSigned);
    // Once narrowed to one byte, only a plain char's own sign is in doubt.
    converted.charSignDependent = type.width == 1 ? type.plainChar && (converted.bits & 0x80) != 0 : dependent;
    return converted;
}

CIntegerValue Promote(CIntegerValue value)
{
    if (value.width >= 4)
        return value;
    CIntegerValue promoted = Normalised(value.bits, 4, true);
    promoted.charSignDependent = value.charSignDependent;
    return promoted;
}

CEvaluated Negate(CIntegerValue value)
{
    value = Promote(value);
    const std::uint64_t signBit = std::uint64_t{1} << (8 * value.width - 1);
    if (value.isSigned && (value.bits & Mask(value.width)) == signBit)
        return {{}, "overflows its type when negated"};
    CIntegerValue negated = Normalised(~value.bits + 1, value.width, value.isSigned);
    negated.charSignDependent = value.charSignDependent;
    return {negated, nullptr};
}
