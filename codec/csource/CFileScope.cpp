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
bool CFileScope::AddTypedef(std::string_view name, CTypeEntry entry)
{
    if (!Room())
        return false;
    m_typedefs.insert_or_assign(std::string(name), std::move(entry));
    return true;
}

bool CFileScope::AddTag(std::string_view tag, CTypeEntry entry)
{
    if (!Room())
        return false;
    m_tags.insert_or_assign(std::string(tag), std::move(entry));
    return true;
}

bool CFileScope::AddConstant(std::string_view name, CConstantEntry entry)
{
    if (!Room())
        return false;
    m_constants.insert_or_assign(std::string(name), std::move(entry));
    return true;
}
