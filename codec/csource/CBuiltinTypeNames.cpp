#include "CAbi.h"

#include <array>

namespace {

// A width and signedness on one platform; width 0 where its headers lack the name.
struct CPlatformInteger
{
    int width;
    bool isSigned;
};

constexpr CPlatformInteger S(int width)
{
    return {width, true};
}
constexpr CPlatformInteger U(int width)
{
    return {width, false};
}

using CPerPlatform = std::array<CPlatformInteger, 3>;   // in CAbiName's order

constexpr CPerPlatform All(CPlatformInteger integer)
{
    return {integer, integer, integer};
}

struct CBuiltinName
{
    std::string_view name;
    CPerPlatform integer;
};

// The names a file may use without defining them: the C library's, checked
// against glibc, mingw-w64 and newlib with each platform's gcc (the fast
// types differ most), and the fixed-width names of the Linux kernel and of
// Windows and firmware headers, whose widths their names state.
constexpr auto kBuiltinNames = std::to_array<CBuiltinName>({
    {"int8_t", All(S(1))},
    {"uint8_t", All(U(1))},
    {"int16_t", All(S(2))},
    {"uint16_t", All(U(2))},
    {"int32_t", All(S(4))},
    {"uint32_t", All(U(4))},
    {"int64_t", All(S(8))},
    {"uint64_t", All(U(8))},
    {"int_least8_t", All(S(1))},
    {"uint_least8_t", All(U(1))},
    {"int_least16_t", All(S(2))},
    {"uint_least16_t", All(U(2))},
    {"int_least32_t", All(S(4))},
    {"uint_least32_t", All(U(4))},
    {"int_least64_t", All(S(8))},
    {"uint_least64_t", All(U(8))},
    {"int_fast8_t", {S(1), S(1), S(4)}},
    {"uint_fast8_t", {U(1), U(1), U(4)}},
    {"int_fast16_t", {S(8), S(2), S(4)}},
    {"uint_fast16_t", {U(8), U(2), U(4)}},
    {"int_fast32_t", {S(8), S(4), S(4)}},
    {"uint_fast32_t", {U(8), U(4), U(4)}},
    {"int_fast64_t", All(S(8))},
    {"uint_fast64_t", All(U(8))},
    {"intptr_t", {S(8), S(8), S(4)}},
    {"uintptr_t", {U(8), U(8), U(4)}},
    {"intmax_t", All(S(8))},
    {"uintmax_t", All(U(8))},
    {"size_t", {U(8), U(8), U(4)}},
    {"ssize_t", {S(8), S(8), S(4)}},
    {"ptrdiff_t", {S(8), S(8), S(4)}},
    {"wchar_t", {S(4), U(2), U(4)}},
    {"char8_t", All(U(1))},
    {"char16_t", All(U(2))},
    {"char32_t", All(U(4))},
    {"u8", All(U(1))},
    {"s8", All(S(1))},
    {"u16", All(U(2))},
    {"s16", All(S(2))},
    {"u32", All(U(4))},
    {"s32", All(S(4))},
    {"u64", All(U(8))},
    {"s64", All(S(8))},
    {"__u8", All(U(1))},
    {"__s8", All(S(1))},
    {"__u16", All(U(2))},
    {"__s16", All(S(2))},
    {"__u32", All(U(4))},
    {"__s32", All(S(4))},
    {"__u64", All(U(8))},
    {"__s64", All(S(8))},
    {"INT8", All(S(1))},
    {"UINT8", All(U(1))},
    {"INT16", All(S(2))},
    {"UINT16", All(U(2))},
    {"INT32", All(S(4))},
    {"UINT32", All(U(4))},
    {"INT64", All(S(8))},
    {"UINT64", All(U(8))},
    {"u_int8_t", All(U(1))},
    {"u_int16_t", All(U(2))},
    {"u_int32_t", All(U(4))},
    {"u_int64_t", All(U(8))},
});

} // namespace

std::optional<CScalarType> CAbi::BuiltinTypeName(std::string_view typeName) const
{
    if (typeName == "bool")
        return CScalarType{CScalarType::Kind::Bool, 1, false, 1};
    for (const CBuiltinName& builtin : kBuiltinNames) {
        if (builtin.name != typeName)
            continue;
        const CPlatformInteger integer = builtin.integer[static_cast<std::size_t>(name)];
        if (integer.width == 0)
            return std::nullopt;
        // Every platform here aligns an integer to its width (ARM's EABI too).
        return CScalarType{CScalarType::Kind::Integer, integer.width, integer.isSigned, integer.width};
    }
    return std::nullopt;
}
