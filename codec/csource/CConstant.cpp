#include "CConstant.h"

#include <bit>
#include <cmath>
#include <limits>

namespace {

CConstant Floating(CConstant::Kind kind, double value)
{
    CConstant constant;
    constant.kind = kind;
    constant.floating = kind == CConstant::Kind::Float ? static_cast<float>(value) : value;
    return constant;
}

// An integer as the nearest float or double, as the machine rounds it.
double IntegerToFloating(const CIntegerValue& integer, CConstant::Kind kind)
{
    if (kind == CConstant::Kind::Float)
        return integer.isSigned ? static_cast<float>(integer.Signed()) : static_cast<float>(integer.bits);
    return integer.isSigned ? static_cast<double>(integer.Signed()) : static_cast<double>(integer.bits);
}

// A floating value truncated toward zero, when the integer type holds the
// result; C leaves the conversion undefined otherwise.
CEvaluatedConstant FloatingToInteger(double value, const CScalarType& type)
{
    const double truncated = std::trunc(value);
    const int bits = 8 * type.width;
    const double limit = std::ldexp(1.0, type.isSigned ? bits - 1 : bits);
    const bool fits = type.isSigned ? truncated >= -limit && truncated < limit : truncated >= 0 && truncated < limit;
    if (!fits)
        return {{}, "is out of the range of its integer type"};
    const std::uint64_t integerBits = type.isSigned ? static_cast<std::uint64_t>(static_cast<std::int64_t>(truncated))
                                                    : static_cast<std::uint64_t>(truncated);
    CIntegerValue integer = MakeInteger(integerBits, type.width, type.isSigned);
    return {IntegerConstant(integer), {}};
}

CEvaluatedConstant ToInteger(const CConstant& value, const CScalarType& type)
{
    if (value.kind != CConstant::Kind::Integer)
        return FloatingToInteger(value.floating, type);
    return {IntegerConstant(ConvertTo(value.integer, {type.width, type.isSigned})), {}};
}

CEvaluatedConstant ToFloating(const CConstant& value, CConstant::Kind kind)
{
    const double exact
        = value.kind == CConstant::Kind::Integer ? IntegerToFloating(value.integer, kind) : value.floating;
    // Past float's largest value C leaves the conversion undefined, even
    // where rounding would come back to it.
    if (kind == CConstant::Kind::Float && std::fabs(exact) > std::numeric_limits<float>::max())
        return {{}, "is out of the range of float"};
    return {Floating(kind, exact), {}};
}

void PutLittleEndian(CElementBytes& out, std::uint64_t bits, int count)
{
    for (int k = 0; k < count; ++k)
        out.bytes[static_cast<std::size_t>(k)] = static_cast<unsigned char>(bits >> (8 * k));
    out.count = count;
}

} // namespace

CConstant IntegerConstant(CIntegerValue integer)
{
    CConstant constant;
    constant.integer = integer;
    return constant;
}

bool IsNonZero(const CConstant& value)
{
    return value.kind == CConstant::Kind::Integer ? value.integer.bits != 0 : value.floating != 0;
}

CEvaluatedConstant ConvertConstant(const CConstant& value, const CScalarType& type)
{
    switch (type.kind) {
    case CScalarType::Kind::Bool: return {IntegerConstant(MakeInteger(IsNonZero(value) ? 1 : 0, 1, false)), {}};
    case CScalarType::Kind::Float: return ToFloating(value, CConstant::Kind::Float);
    case CScalarType::Kind::Double: return ToFloating(value, CConstant::Kind::Double);
    case CScalarType::Kind::Integer: break;
    }
    return ToInteger(value, type);
}

CElementBytes StoreAs(const CConstant& value, const CScalarType& element)
{
    const CEvaluatedConstant converted = ConvertConstant(value, element);
    CElementBytes out;
    if (!converted.refusal.empty()) {
        out.refusal = converted.refusal;
        return out;
    }
    const CConstant& stored = converted.value;
    if (stored.kind == CConstant::Kind::Float)
        PutLittleEndian(out, std::bit_cast<std::uint32_t>(static_cast<float>(stored.floating)), 4);
    else if (stored.kind == CConstant::Kind::Double)
        PutLittleEndian(out, std::bit_cast<std::uint64_t>(stored.floating), 8);
    else
        PutLittleEndian(out, stored.integer.bits, element.width);
    return out;
}

CElementBytes StoreAsWidth(const CConstant& value, int width)
{
    CElementBytes out;
    if (value.kind != CConstant::Kind::Integer) {
        out.refusal = "is a floating value";
        return out;
    }
    if (width < 1 || width > static_cast<int>(out.bytes.size())) {
        out.refusal = "has no integer type of that width";
        return out;
    }
    for (int k = 0; k < width; ++k)
        out.bytes[static_cast<std::size_t>(k)] = value.integer.Byte(k);
    out.count = width;
    return out;
}
