#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nature {

// The trees' stochastic, bracketed L-system.
inline constexpr std::string_view kAxiom = "DF[/&X]|/[\\Y]-F";
inline constexpr int kIterations = 3;

// The successor of symbol for a draw x in [0, 1]: the symbol's rules are
// tried in order, a rule being skipped (and its probability subtracted from
// x) only while x is strictly greater than its probability; the last rule
// takes any remainder. Empty for a symbol without rules.
std::string_view Successor(char symbol, float x);

// The axiom rewritten `iterations` times. Each symbol visited, with or
// without rules, advances one draw counter that starts at `seed` and runs on
// across iterations; a symbol with rules is replaced by its successor for
// random01 at the counter, one without is kept.
std::string Expand(std::uint32_t seed, int iterations = kIterations);

} // namespace nature
