#pragma once

#include "csource/CSourceOptions.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

// A scalar element as a platform stores it.
struct CScalarType
{
    enum class Kind : unsigned char { Integer, Bool, Float, Double };
    Kind kind = Kind::Integer;
    int width = 4;            // bytes
    bool isSigned = true;     // integers only
    int align = 4;            // bytes
};

// What one platform's compiler and headers give the C reader.
class CAbi
{
public:
    CAbiName name;
    bool charSigned;   // plain char
    int shortWidth, intWidth, longWidth, longLongWidth, pointerWidth;
    int longLongAlign, doubleAlign;
    bool shortEnums;   // an enum as narrow as its values allow

    // The type that keyword words name, as {"unsigned", "short", "int"} or
    // {"double"}; qualifiers ("const", "static"...) are passed over. None
    // when a word is no keyword of a scalar type, or the words clash.
    std::optional<CScalarType> KeywordType(std::span<const std::string_view> words) const;

    // A type name the platform's usual headers define and the file may use
    // without defining it (uint16_t, u16, __u16, UINT16, size_t, wchar_t...);
    // none for a name that is not in the table (WORD, DWORD, BYTE, ulong).
    std::optional<CScalarType> BuiltinTypeName(std::string_view name) const;

    // The macros the compiler predefines, as name and replacement text.
    std::span<const std::pair<std::string_view, std::string_view>> PredefinedMacros() const;

    // A name reserved to the implementation (__x, _X) that this compiler
    // does not predefine: an #if may take it as undefined, for certain.
    bool IsReservedUndefined(std::string_view name) const;
};

const CAbi& AbiFor(CAbiName name);

// Words that qualify a declaration and change no byte of it.
bool IsQualifierWord(std::string_view word);
