#pragma once

#include "CConstant.h"
#include "CObjectType.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

// What the file has defined so far at file scope: typedef names, structure
// and enum tags, enum constants. A definition made from a name whose meaning
// is uncertain (defined under an #if the reader cannot decide) keeps that
// doubt, and is refused when used.
class CFileScope
{
public:
    // More than any real file holds; each name is at most the lexer's
    // longest token, so the scope stays a few MiB at most.
    static constexpr std::size_t kMaxNames = 16384;

    // A type, or why the file's type cannot be used (a union, a bit-field).
    struct CTypeEntry
    {
        CTypePtr type;
        std::string unknownType;   // made from a type name no one defines: only c1 to c9 read it
        std::string refusal;
        std::string doubt;   // the uncertain name it was made from, or empty
    };
    struct CConstantEntry
    {
        CConstant value;
        std::string doubt;
    };

    // false when the scope is full: the caller refuses.
    bool AddTypedef(std::string_view name, CTypeEntry entry);
    bool AddTag(std::string_view tag, CTypeEntry entry);
    bool AddConstant(std::string_view name, CConstantEntry entry);

    const CTypeEntry* Typedef(std::string_view name) const { return Find(m_typedefs, name); }
    const CTypeEntry* Tag(std::string_view tag) const { return Find(m_tags, tag); }
    const CConstantEntry* Constant(std::string_view name) const { return Find(m_constants, name); }

private:
    template <typename Entry>
    static const Entry* Find(const std::unordered_map<std::string, Entry>& map, std::string_view name)
    {
        const auto found = map.find(std::string(name));
        return found == map.end() ? nullptr : &found->second;
    }
    bool Room();
    template <typename Entry>
    bool Add(std::unordered_map<std::string, Entry>& map, std::string_view name, Entry entry);

    std::unordered_map<std::string, CTypeEntry> m_typedefs;
    std::unordered_map<std::string, CTypeEntry> m_tags;
    std::unordered_map<std::string, CConstantEntry> m_constants;
    std::size_t m_nNames = 0;
};
