#pragma once

#include "CAbi.h"
#include "CMacroExpander.h"
#include "CMacroTable.h"
#include "CPpToken.h"
#include "CRefusal.h"

#include <vector>

enum class CCondition { True, False, Unknown };

// What the file knows of a name: defined, undefined for certain (by the
// file, -U or the compiler's reserved names), or neither (a header it
// includes may define it).
CNameState NameState(const CMacroTable& macros, const CAbi& abi, const CPpToken& name);

// An #if's or #elif's tokens as gcc evaluates them: "defined" first, then
// macros, then the constant expression. Unknown when a name it needs is
// neither defined nor undefined for certain; a refusal goes to refusal.
CCondition EvaluateIf(std::vector<CPpToken> tokens, const CMacroTable& macros, const CAbi& abi,
    CMacroExpander& expander, CRefusal& refusal, long line);
