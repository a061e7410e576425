#include "CFileScope.h"

bool CFileScope::Room()
{
    if (m_nNames >= kMaxNames)
        return false;
    ++m_nNames;
    return true;
}

// A later definition of a name replaces the earlier: C refuses a clash, and
// a block that hides a name is not read, so the last one at file scope holds.
template <typename Entry>
bool CFileScope::Add(std::unordered_map<std::string, Entry>& map, std::string_view name, Entry entry)
{
    if (!Room())
        return false;
    map.insert_or_assign(std::string(name), std::move(entry));
    return true;
}

bool CFileScope::AddTypedef(std::string_view name, CTypeEntry entry)
{
    return Add(m_typedefs, name, std::move(entry));
}

bool CFileScope::AddTag(std::string_view tag, CTypeEntry entry)
{
    return Add(m_tags, tag, std::move(entry));
}

bool CFileScope::AddConstant(std::string_view name, CConstantEntry entry)
{
    return Add(m_constants, name, std::move(entry));
}
