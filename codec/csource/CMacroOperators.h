#pragma once

#include "CPpToken.h"

#include <span>
#include <string>

// The two operators of a macro's replacement. Each gives the refusal, or
// an empty string when result holds.

// "#x": the argument's spelling as a string literal.
std::string Stringify(std::span<const CPpToken> argument, CPpToken& result);

// "a ## b": the one token their spellings make together; a placemarker
// (an empty argument) gives the other side.
std::string Paste(const CPpToken& left, const CPpToken& right, CPpToken& result);
