#pragma once

#include "CIfCondition.h"

#include <string>
#include <vector>

// The #if groups open at a point of the file, and whether its text is taken.
class CConditionStack
{
public:
    enum class CState {
        Taking,    // this branch is taken
        Seeking,   // no branch taken yet
        Done,      // a branch was taken: the rest are not
        Unknown,   // which branch is taken is not known: none is read
        Skipped,   // inside text not taken: nothing evaluated
        Guard,     // "#ifndef X" of an X not known: an include guard if "#define X" follows
    };
    struct CGroup
    {
        CState state;
        long line;               // of its #if
        std::string condition;   // "'#ifdef X'", for an unknown one
        std::string guard;       // the name an include guard would define
        bool sawElse = false;
    };

    bool Taking() const { return m_groups.empty() || m_groups.back().state == CState::Taking; }
    bool Guarding() const { return !m_groups.empty() && m_groups.back().state == CState::Guard; }
    // Inside a group whose branch is not known (its own groups too).
    bool InUnknown() const { return m_nUnknownAt != 0; }
    bool Empty() const { return m_groups.empty(); }
    CGroup& Innermost() { return m_groups.back(); }

    // The reasons are gcc's errors; each returns the refusal or "".
    std::string Open(CCondition condition, long line, std::string text);
    std::string OpenSkipped(long line);
    // evaluate: called only when this #elif's branch would be evaluated.
    template <class Evaluate>
    std::string Elif(long line, std::string text, Evaluate evaluate);
    std::string Else();
    // The group closed; its state tells whether it was unknown.
    std::string Close(CGroup& closed);
    // The innermost group, unknown, is an include guard's if name is defined next.
    void MarkGuard(std::string name);
    void ResolveGuard(bool defined);

private:
    std::string CheckOpen(const char* directive) const;

    std::vector<CGroup> m_groups;
    std::size_t m_nUnknownAt = 0;   // the unknown group's depth, from 1; 0 for none
};

template <class Evaluate>
std::string CConditionStack::Elif(long line, std::string text, Evaluate evaluate)
{
    if (std::string refusal = CheckOpen("#elif"); !refusal.empty())
        return refusal;
    CGroup& group = m_groups.back();
    if (group.state == CState::Taking)
        group.state = CState::Done;
    else if (group.state == CState::Seeking) {
        const CCondition condition = evaluate();
        group.state = condition == CCondition::True ? CState::Taking
            : condition == CCondition::False        ? CState::Seeking
                                                    : CState::Unknown;
        group.line = condition == CCondition::Unknown ? line : group.line;
        group.condition = condition == CCondition::Unknown ? std::move(text) : std::string();
        m_nUnknownAt = condition == CCondition::Unknown ? m_groups.size() : 0;
    }
    return {};
}
