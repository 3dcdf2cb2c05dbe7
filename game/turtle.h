#pragma once

#include "turtlePath.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace nature {

// Walks an expanded L-system string from the origin, heading up. Symbol i
// turns by 18 degrees and steps 0.25 units, each with a spread drawn from
// the random table at seed + i (the step at seed + i + 13337); all turns
// are about fixed world axes. The branches come back with arc lengths and
// tapered radii (the trunk starts at radius 1), not yet smoothed.
std::shared_ptr<TurtlePath> Walk(std::string_view symbols, std::uint32_t seed);

} // namespace nature
