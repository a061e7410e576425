#include "CObjectType.h"

#include <algorithm>

CTypePtr ScalarObject(const CScalarType& scalar)
{
    auto type = std::make_shared<CObjectType>();
    type->scalar = scalar;
    type->size = static_cast<std::uint64_t>(scalar.width);
    type->align = static_cast<std::uint64_t>(scalar.align);
    return type;
}

int TypeDepth(const CObjectType& type)
{
    switch (type.kind) {
    case CObjectType::Kind::Array: return 1 + TypeDepth(*type.element);
    case CObjectType::Kind::Struct: {
        int deepest = 0;
        for (const CMember& member : type.members)
            deepest = std::max(deepest, TypeDepth(*member.type));
        return 1 + deepest;
    }
    case CObjectType::Kind::Scalar: break;
    }
    return 1;
}

CTypePtr ArrayObject(CTypePtr element, std::uint64_t count, bool unbounded)
{
    if (TypeDepth(*element) >= CObjectType::kMaxDepth)
        return nullptr;
    if (element->size != 0 && count > kMaxObjectSize / element->size)
        return nullptr;
    auto type = std::make_shared<CObjectType>();
    type->kind = CObjectType::Kind::Array;
    type->size = count * element->size;
    type->align = element->align;
    type->element = std::move(element);
    type->count = count;
    type->unbounded = unbounded;
    const CObjectType& scalar = *type->element;
    type->byteArray = scalar.IsScalar()
        && (scalar.widenedChar || (scalar.scalar.kind == CScalarType::Kind::Integer && scalar.scalar.width == 1));
    return type;
}

CTypePtr StructObject(std::vector<CMember> members)
{
    auto type = std::make_shared<CObjectType>();
    type->kind = CObjectType::Kind::Struct;
    std::uint64_t offset = 0;
    for (CMember& member : members) {
        const std::uint64_t align = member.type->align;
        offset = (offset + align - 1) / align * align;
        member.offset = offset;
        if (member.type->size > kMaxObjectSize - offset)
            return nullptr;
        offset += member.type->size;
        type->align = std::max(type->align, align);
    }
    type->size = (offset + type->align - 1) / type->align * type->align;
    type->members = std::move(members);
    if (TypeDepth(*type) > CObjectType::kMaxDepth)
        return nullptr;
    return type;
}
