#include "CLiteral.h"

#include <charconv>
#include <optional>

namespace {

constexpr std::size_t kMaxNumberText = 256;

// A character's value in its own type, before the integer promotions.
struct CCharacterValue
{
    std::uint64_t value = 0;
    int width = 4;
    bool isSigned = true;
    std::string refusal;
};

template <typename T>
CEvaluatedConstant ReadFloating(const char* first, const char* last, std::chars_format format, CConstant::Kind kind)
{
    T value = 0;
    const auto [end, error] = std::from_chars(first, last, value, format);
    if (error == std::errc::result_out_of_range)
        return {{}, "is out of the range of its floating type"};
    if (error != std::errc() || end != last)
        return {{}, "is not a valid number"};
    CConstant constant;
    constant.kind = kind;
    constant.floating = value;
    return {constant, {}};
}

// A float literal is rounded to float once, from its digits; a double one
// to double.
CEvaluatedConstant FloatingLiteral(std::string_view text)
{
    std::string digits;
    for (const char c : text)
        if (c != '\'')
            digits += c;
    const char suffix = digits.back();
    if (suffix == 'l' || suffix == 'L')
        return {{}, "is a long double"};
    const bool isFloat = suffix == 'f' || suffix == 'F';
    if (isFloat)
        digits.pop_back();
    const bool hex = digits.size() > 1 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    // C's hex floating literal needs its binary exponent, which from_chars does not.
    if (hex && digits.find_first_of("pP") == std::string::npos)
        return {{}, "is not a valid number"};
    const char* first = digits.data() + (hex ? 2 : 0);
    const char* last = digits.data() + digits.size();
    const std::chars_format format = hex ? std::chars_format::hex : std::chars_format::general;
    if (isFloat)
        return ReadFloating<float>(first, last, format, CConstant::Kind::Float);
    return ReadFloating<double>(first, last, format, CConstant::Kind::Double);
}

// One code point from UTF-8 bytes that hold exactly one; none otherwise.
std::optional<std::uint32_t> SingleCodePoint(std::string_view bytes)
{
    if (bytes.empty())
        return std::nullopt;
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || length != bytes.size())
        return std::nullopt;
    std::uint32_t codePoint = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[k]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        codePoint = codePoint << 6 | (next & 0x3Fu);
    }
    constexpr std::uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kShortest[length] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return std::nullopt;
    return codePoint;
}

// gcc packs up to four characters into an int, the first the most significant.
CCharacterValue NarrowCharacter(std::string_view bytes, const CAbi& abi)
{
    if (bytes.empty())
        return {.refusal = "is an empty character constant"};
    if (bytes.size() == 1)
        return {static_cast<unsigned char>(bytes[0]), 1, abi.charSigned, {}};
    if (bytes.size() > 4)
        return {.refusal = "has more characters than an int holds"};
    std::uint64_t packed = 0;
    for (const char c : bytes)
        packed = packed << 8 | static_cast<unsigned char>(c);
    return {packed, 4, true, {}};
}

CCharacterValue WideCharacter(std::string_view prefix, const CExprToken& token, const CAbi& abi)
{
    const std::string_view bytes = token.decoded;
    if (prefix == "u8") {
        if (bytes.size() != 1 || static_cast<unsigned char>(bytes[0]) >= 0x80)
            return {.refusal = "is not one character under 0x80"};
        return {static_cast<unsigned char>(bytes[0]), 4, true, {}};
    }
    const std::optional<CScalarType> type = abi.BuiltinTypeName(prefix == "L" ? "wchar_t"
            : prefix == "u"                                                   ? "char16_t"
                                                                              : "char32_t");
    if (!type || (prefix != "L" && prefix != "u" && prefix != "U"))
        return {.refusal = "has a prefix the reader does not know"};
    // One escaped byte is the value itself; unescaped text is one UTF-8 character.
    std::optional<std::uint32_t> codePoint;
    if (token.text.find('\\') != std::string::npos)
        codePoint
            = bytes.size() == 1 ? std::optional<std::uint32_t>(static_cast<unsigned char>(bytes[0])) : std::nullopt;
    else
        codePoint = SingleCodePoint(bytes);
    if (!codePoint)
        return {.refusal = "is not one character the reader can decode"};
    if (type->width < 4 && *codePoint > 0xFFFF)
        return {.refusal = "does not fit its character type"};
    return {*codePoint, type->width, type->isSigned, {}};
}

} // namespace

CEvaluatedConstant NumberConstant(std::string_view text, const CAbi& abi, CExpressionMode mode)
{
    // The lexer keeps a token's first 256 characters: a longer literal
    // (leading zeros, many decimals) may have lost digits.
    if (text.size() >= kMaxNumberText)
        return {{}, "is a number of " + std::to_string(kMaxNumberText) + " characters or more"};
    const CIntegerLiteral literal = ReadIntegerLiteral(text);
    if (literal.refusal && std::string_view(literal.refusal) == "is a floating value"
        && mode == CExpressionMode::Program)
        return FloatingLiteral(text);
    if (literal.refusal)
        return {{}, literal.refusal};
    if (mode == CExpressionMode::Program) {
        const CEvaluated typed = TypedIntegerLiteral(literal, abi.longWidth);
        return {IntegerConstant(typed.value), typed.refusal ? typed.refusal : ""};
    }
    // An #if's literal is uintmax_t with a u suffix or past intmax_t's range.
    const bool isUnsigned = literal.isUnsigned || literal.magnitude > (~std::uint64_t{0} >> 1);
    return {IntegerConstant(MakeInteger(literal.magnitude, 8, !isUnsigned)), {}};
}

CEvaluatedConstant CharacterConstant(const CExprToken& token, const CAbi& abi, CExpressionMode mode)
{
    if (token.undecodable)
        return {{}, "has an escape the reader does not decode"};
    const std::string_view prefix = std::string_view(token.text).substr(0, token.text.find('\''));
    const CCharacterValue character
        = prefix.empty() ? NarrowCharacter(token.decoded, abi) : WideCharacter(prefix, token, abi);
    if (!character.refusal.empty())
        return {{}, character.refusal};
    const CIntegerValue value = MakeInteger(character.value, character.width, character.isSigned);
    // An #if takes the character's own signedness to intmax_t's width (an
    // unsigned char's '\xff' is 255 and unsigned there), a program promotes it.
    if (mode == CExpressionMode::Preprocessor)
        return {IntegerConstant(ConvertTo(value, {8, character.isSigned})), {}};
    return {IntegerConstant(Promote(value)), {}};
}
