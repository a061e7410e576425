#pragma once

#include "CAbi.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The type of an object an initialiser fills, laid out as the platform lays
// it out: a scalar, an array of a type, or a structure of members.
struct CObjectType;
using CTypePtr = std::shared_ptr<const CObjectType>;

struct CMember
{
    std::string name;
    CTypePtr type;
    std::uint64_t offset = 0;
};

struct CObjectType
{
    enum class Kind : unsigned char { Scalar, Array, Struct };
    Kind kind = Kind::Scalar;
    CScalarType scalar;             // Kind::Scalar
    CTypePtr element;               // Kind::Array
    std::uint64_t count = 0;        // Kind::Array: elements; 0 with unbounded
    bool unbounded = false;         // Kind::Array: "[]", sized by its initialiser
    std::vector<CMember> members;   // Kind::Struct
    std::uint64_t size = 0;
    std::uint64_t align = 1;
    // Kind::Array of chars, which a string literal may initialise.
    bool byteArray = false;
    // Kind::Scalar: a char that c1 to c9 widened, still a string's element.
    bool widenedChar = false;

    bool IsScalar() const { return kind == Kind::Scalar; }
    bool IsArray() const { return kind == Kind::Array; }
    bool IsByteArray() const { return byteArray; }
    // The array's scalar elements when they lie back to back: its runs of
    // plain numbers may be written without the walk.
    bool IsScalarArray() const { return IsArray() && element->IsScalar(); }
    // Scalars, arrays and structures nest at most this deep: it bounds the
    // initialiser's braces.
    static constexpr int kMaxDepth = 64;
};

// Past this an object's size is refused: gcc's own limit, and far above any
// array worth writing.
constexpr std::uint64_t kMaxObjectSize = std::uint64_t{1} << 62;

CTypePtr ScalarObject(const CScalarType& scalar);
// none when count * size passes kMaxObjectSize, or the nesting kMaxDepth.
CTypePtr ArrayObject(CTypePtr element, std::uint64_t count, bool unbounded);
// Members laid out in order, each at the next multiple of its alignment, the
// whole padded to the largest; none past kMaxObjectSize.
CTypePtr StructObject(std::vector<CMember> members);
// The depth of a type: 1 for a scalar.
int TypeDepth(const CObjectType& type);
