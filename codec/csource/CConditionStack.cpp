#include "CConditionStack.h"

#include "CPreprocessorLimits.h"

std::string CConditionStack::Open(CCondition condition, long line, std::string text)
{
    if (m_groups.size() >= pp_limits::kMaxConditionalDepth)
        return "#if groups nest deeper than " + std::to_string(pp_limits::kMaxConditionalDepth);
    const CState state = condition == CCondition::True ? CState::Taking
        : condition == CCondition::False               ? CState::Seeking
                                                       : CState::Unknown;
    m_groups.push_back(CGroup{state, line, state == CState::Unknown ? std::move(text) : std::string(), {}});
    if (state == CState::Unknown)
        m_nUnknownAt = m_groups.size();
    return {};
}

std::string CConditionStack::OpenSkipped(long line)
{
    if (m_groups.size() >= pp_limits::kMaxConditionalDepth)
        return "#if groups nest deeper than " + std::to_string(pp_limits::kMaxConditionalDepth);
    m_groups.push_back(CGroup{CState::Skipped, line, {}, {}});
    return {};
}

std::string CConditionStack::CheckOpen(const char* directive) const
{
    if (m_groups.empty())
        return std::string(directive) + " without #if";
    if (m_groups.back().sawElse)
        return std::string(directive) + " after #else";
    return {};
}

std::string CConditionStack::Else()
{
    if (std::string refusal = CheckOpen("#else"); !refusal.empty())
        return refusal;
    CGroup& group = m_groups.back();
    group.sawElse = true;
    if (group.state == CState::Taking)
        group.state = CState::Done;
    else if (group.state == CState::Seeking)
        group.state = CState::Taking;
    return {};
}

std::string CConditionStack::Close(CGroup& closed)
{
    if (m_groups.empty())
        return "#endif without #if";
    if (m_nUnknownAt == m_groups.size())
        m_nUnknownAt = 0;
    closed = std::move(m_groups.back());
    m_groups.pop_back();
    return {};
}

void CConditionStack::MarkGuard(std::string name)
{
    m_groups.back().state = CState::Guard;
    m_groups.back().guard = std::move(name);
}

void CConditionStack::ResolveGuard(bool defined)
{
    m_groups.back().state = defined ? CState::Taking : CState::Unknown;
    if (defined)
        m_nUnknownAt = 0;
}
