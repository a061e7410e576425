#pragma once

#include <cstddef>

// The preprocessor's caps, each refused past with one line. A token held by
// the preprocessor costs sizeof(CPpToken) plus its text's and bytes' length;
// the caps on costs keep the whole reader far under 64 MiB whatever the
// input, and each token read does a bounded amount of work. No real file
// comes near any of them.
namespace pp_limits {

// Names the preprocessor knows: defined, undefined for certain or uncertain.
constexpr std::size_t kMaxNames = 32768;
// All definitions and names together, and one directive line (so one
// replacement).
constexpr std::size_t kMaxDefinitionsCost = 8u << 20;
constexpr std::size_t kMaxDirectiveCost = 1u << 20;
// A macro call's argument tokens collected from the file.
constexpr std::size_t kMaxArgumentsCost = 4u << 20;
// Macro invocations and arguments being expanded inside one another.
constexpr std::size_t kMaxExpansionDepth = 256;
// Tokens one expansion of the file's text makes, its arguments' too.
constexpr std::size_t kMaxExpansionCost = 8u << 20;
// Tokens all expansions make: this many per token read, plus kExpansionAllowance.
constexpr std::size_t kExpansionTokensPerToken = 16;
constexpr std::size_t kExpansionAllowance = 4u << 20;
// #if groups inside one another.
constexpr std::size_t kMaxConditionalDepth = 256;

} // namespace pp_limits
