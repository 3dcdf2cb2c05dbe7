#pragma once

#include "tools/generators/groundHeight.h"

#include "engine/math/vector3f.h"

namespace kovra::tools {

// Where the Beast walks: once round the central hill through the grass band
// in the show's length, at a steady pace, feet on the ground.
class BeastPath {
public:
    explicit BeastPath(const GroundHeight& ground);

    // Ground position and heading (radians about y, 0 = +z) at a time.
    engine::math::Vector3f Position(float seconds) const;
    float Heading(float seconds) const;
    // Metres per second.
    float Speed() const;

private:
    engine::math::Vector3f Flat(float seconds) const;

    const GroundHeight& mGround;
};

// The flight of "TheCurve": a closed loop among the trees of the northern
// meadow, a few metres above the ground, flown once every kRibbonLap seconds.
inline constexpr float kRibbonLap = 24.0f;
engine::math::Vector3f RibbonPosition(const GroundHeight& ground, float seconds);

} // namespace kovra::tools
