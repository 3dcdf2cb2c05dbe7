#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nature {

// The trees' stochastic, bracketed L-system.
inline constexpr std::string_view kAxiom = "DF[/&X]|/[\\Y]-F";
inline constexpr int kIterations = 3;

// The successor of symbol for a random table entry `draw`, which stands
// for x = draw / 65535 in [0, 1]: the symbol's rules are tried in order, a
// rule being skipped (and its probability subtracted from x) only while x is
// strictly greater than its probability; the last rule takes any remainder.
// The comparison is exact. Empty for a symbol without rules.
std::string_view Successor(char symbol, std::uint32_t draw);

// The axiom rewritten `iterations` times. Each symbol visited, with or
// without rules, advances one draw counter that starts at `seed` and runs on
// across iterations; a symbol with rules is replaced by its successor for
// the table entry at the counter, one without is kept.
std::string Expand(std::uint32_t seed, int iterations = kIterations);

} // namespace nature
