#include "CAbi.h"

#include <algorithm>
#include <array>

namespace {

// gcc 12 for each platform: x86-64 glibc (LP64), mingw-w64 (LLP64, 16-bit
// wchar_t) and the bare-metal ARM EABI (32-bit, unsigned char, enums as
// narrow as their values as __ARM_SIZEOF_MINIMAL_ENUM says).
const CAbi kX86_64Linux{CAbiName::X86_64Linux, true, 2, 4, 8, 8, 8, 8, 8, false};
const CAbi kX86_64Windows{CAbiName::X86_64Windows, true, 2, 4, 4, 8, 8, 8, 8, false};
const CAbi kArmEabi{CAbiName::ArmEabi, false, 2, 4, 4, 8, 4, 8, 8, true};

constexpr std::array<std::string_view, 20> kQualifierWords = {"const", "volatile", "static", "extern", "register",
    "constexpr", "constinit", "inline", "thread_local", "_Thread_local", "__thread", "restrict", "__restrict",
    "__restrict__", "__const", "__volatile__", "__inline", "__inline__", "__extension__", "mutable"};

// The words that build a scalar type's name, in the order of CWordCounts.
enum TypeWord : std::size_t {
    Signed,
    Unsigned,
    Char,
    Short,
    Int,
    Long,
    Bool,
    Float,
    Double,
    WChar,
    Char16,
    Char32,
    Count
};

constexpr std::array<std::pair<std::string_view, TypeWord>, 13> kTypeWords
    = {{{"signed", Signed}, {"unsigned", Unsigned}, {"char", Char}, {"short", Short}, {"int", Int}, {"long", Long},
        {"_Bool", Bool}, {"bool", Bool}, {"float", Float}, {"double", Double}, {"wchar_t", WChar}, {"char16_t", Char16},
        {"char32_t", Char32}}};

using CWordCounts = std::array<int, TypeWord::Count>;

std::optional<TypeWord> TypeWordOf(std::string_view word)
{
    for (const auto& [name, typeWord] : kTypeWords)
        if (name == word)
            return typeWord;
    return std::nullopt;
}

CScalarType Integer(int width, bool isSigned, int align)
{
    return {CScalarType::Kind::Integer, width, isSigned, align};
}

// A type named by one word alone, which no other word may join.
std::optional<CScalarType> LoneWordType(const CAbi& abi, TypeWord word)
{
    switch (word) {
    case Bool: return CScalarType{CScalarType::Kind::Bool, 1, false, 1};
    case Float: return CScalarType{CScalarType::Kind::Float, 4, true, 4};
    case Double: return CScalarType{CScalarType::Kind::Double, 8, true, abi.doubleAlign};
    case WChar: return abi.BuiltinTypeName("wchar_t");
    case Char16: return abi.BuiltinTypeName("char16_t");
    case Char32: return abi.BuiltinTypeName("char32_t");
    default: return std::nullopt;
    }
}

// char, short, int, long and long long, with signed or unsigned.
std::optional<CScalarType> IntegerWordsType(const CAbi& abi, const CWordCounts& counts)
{
    const bool isUnsigned = counts[Unsigned] > 0;
    if (counts[Signed] + counts[Unsigned] > 1 || counts[Char] + counts[Short] + (counts[Long] > 0) > 1
        || (counts[Char] > 0 && counts[Int] > 0))
        return std::nullopt;
    if (counts[Char] > 0)
        return Integer(1, counts[Signed] > 0 || (!isUnsigned && abi.charSigned), 1);
    if (counts[Short] > 0)
        return Integer(abi.shortWidth, !isUnsigned, abi.shortWidth);
    if (counts[Long] == 2)
        return Integer(abi.longLongWidth, !isUnsigned, abi.longLongAlign);
    if (counts[Long] == 1)
        return Integer(abi.longWidth, !isUnsigned, abi.longWidth);
    return Integer(abi.intWidth, !isUnsigned, abi.intWidth);
}

} // namespace

bool IsQualifierWord(std::string_view word)
{
    return std::find(kQualifierWords.begin(), kQualifierWords.end(), word) != kQualifierWords.end();
}

std::optional<CScalarType> CAbi::KeywordType(std::span<const std::string_view> words) const
{
    CWordCounts counts{};
    int typeWords = 0;
    for (const std::string_view word : words) {
        if (IsQualifierWord(word))
            continue;
        const std::optional<TypeWord> typeWord = TypeWordOf(word);
        if (!typeWord)
            return std::nullopt;
        ++counts[*typeWord];
        ++typeWords;
    }
    for (const TypeWord lone : {Bool, Float, Double, WChar, Char16, Char32})
        if (counts[lone] > 0)
            return typeWords == 1 ? LoneWordType(*this, lone) : std::nullopt;
    // Only long may be written twice.
    bool repeated = counts[Long] > 2;
    for (std::size_t word = 0; word < TypeWord::Count; ++word)
        repeated = repeated || (word != Long && counts[word] > 1);
    if (typeWords == 0 || repeated)
        return std::nullopt;
    return IntegerWordsType(*this, counts);
}

const CAbi& AbiFor(CAbiName name)
{
    switch (name) {
    case CAbiName::X86_64Windows: return kX86_64Windows;
    case CAbiName::ArmEabi: return kArmEabi;
    case CAbiName::X86_64Linux: break;
    }
    return kX86_64Linux;
}
