#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// C's integer values, their literals and conversions. The platform's
// widths come in as arguments (TypedIntegerLiteral's long); the older
// declaration words below (ReadIntegerType, AllTypeWords, ParseIntegerLiteral,
// CharacterValue) still assume gcc on 64-bit Linux.

struct CIntegerType
{
    int width = 4;          // bytes
    bool isSigned = true;
    bool plainChar = false; // "char" alone: signed or not depends on the machine
};

enum class CTypeVerdict {
    Integer,         // a type of known width
    NoBaseType,      // only names the reader does not know, as a typedef
    NotFixedWidth,   // "long", 32 or 64 bits by platform
    NotInteger,      // struct, float, bool, ...
};

struct CTypeReading
{
    CTypeVerdict verdict;
    CIntegerType type;
    std::string word;   // the word that decided a verdict other than Integer
};

// The type that words such as {"static", "const", "unsigned", "char"} name;
// words the reader does not know (attribute macros) are ignored beside a
// type it knows.
CTypeReading ReadIntegerType(const std::vector<std::string>& words);

// Whether every word is a type or qualifier word the reader knows, as a cast needs.
bool AllTypeWords(const std::vector<std::string>& words);

struct CIntegerValue
{
    std::uint64_t bits = 0;   // truncated to the width; sign-extended when signed
    int width = 4;
    bool isSigned = true;
    // A plain char of 0x80 or above: its wider forms differ between machines.
    bool charSignDependent = false;

    std::int64_t Signed() const { return static_cast<std::int64_t>(bits); }
    unsigned char Byte(int k) const;   // k from 0, least significant first; past 8 the sign
};

// An evaluation's value, or why it has none ("is a floating value").
struct CEvaluated
{
    CIntegerValue value;
    const char* refusal = nullptr;
};

// value's bits as an integer of the given width and signedness: truncated,
// then sign-extended when signed.
CIntegerValue MakeInteger(std::uint64_t bits, int width, bool isSigned);

// An integer literal's parts before C gives it a type.
struct CIntegerLiteral
{
    std::uint64_t magnitude = 0;
    bool decimal = true;
    bool isUnsigned = false;   // a u suffix
    int longs = 0;             // 1 for an l suffix, 2 for ll
    const char* refusal = nullptr;
};

// An integer literal as written: decimal, hex, octal, binary, suffixes u, l,
// ll and digit separators.
CIntegerLiteral ReadIntegerLiteral(std::string_view text);

// The literal's value in the first type of C's list for its form that holds
// it, long being longWidth bytes.
CEvaluated TypedIntegerLiteral(const CIntegerLiteral& literal, int longWidth);

// ReadIntegerLiteral then TypedIntegerLiteral, with a 64-bit long.
CEvaluated ParseIntegerLiteral(std::string_view text);

// A character literal from its prefix ("", "u8", "L", "u", "U") and its
// decoded bytes.
CEvaluated CharacterValue(std::string_view prefix, std::string_view bytes);

CIntegerValue ConvertTo(CIntegerValue value, const CIntegerType& type);
CIntegerValue Promote(CIntegerValue value);
CEvaluated Negate(CIntegerValue value);
