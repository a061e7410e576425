#pragma once

#include "CAbi.h"
#include "CIntegerValue.h"

#include <array>
#include <string>

// A constant as C evaluates it: an integer of a C type, or a floating value.
struct CConstant
{
    enum class Kind : unsigned char { Integer, Float, Double };
    Kind kind = Kind::Integer;
    CIntegerValue integer;   // Kind::Integer
    double floating = 0;     // Kind::Float (rounded to float already) and Kind::Double
};

struct CEvaluatedConstant
{
    CConstant value;
    std::string refusal;   // empty when value holds; else "is a floating value"...
};

// The bytes of one element, little-endian, at most 9.
struct CElementBytes
{
    std::array<unsigned char, 9> bytes{};
    int count = 0;
    std::string refusal;   // empty when the bytes hold
};

CConstant IntegerConstant(CIntegerValue integer);
bool IsNonZero(const CConstant& value);

// value converted to type as a cast or an assignment converts it; refused
// where C leaves the result undefined (a floating value out of the
// target's range).
CEvaluatedConstant ConvertConstant(const CConstant& value, const CScalarType& type);

// value stored in an element of the given type, converted as C's assignment
// converts it (an integer into a double, a double into an int, anything into
// bool); refused where C's result is undefined or the machine's.
CElementBytes StoreAs(const CConstant& value, const CScalarType& element);

// value as C converts it into an integer of width bytes (up to 9: past 8
// the sign or zeros go on), for the c1 to c9 that name the width; refused
// for a floating value.
CElementBytes StoreAsWidth(const CConstant& value, int width);
