#pragma once

#include "tools/generators/groundHeight.h"

#include "engine/math/vector3f.h"

namespace kovra::tools {

// Where the Beast walks: round a clearing between the trees, at a steady
// pace, feet on the ground.
class BeastPath {
public:
    explicit BeastPath(const GroundHeight& ground);

    // Ground position and heading (radians about y, 0 = +z) at a time.
    engine::math::Vector3f Position(float seconds) const;
    float Heading(float seconds) const;
    // Metres per second.
    float Speed() const;
    // The middle of the clearing it walks round.
    engine::math::Vector3f Middle() const;

private:
    engine::math::Vector3f Flat(float seconds) const;

    const GroundHeight& mGround;
};

// The flight of "TheCurve": a closed loop among the trees of the northern
// meadow, a few metres above the ground, flown once every kRibbonLap seconds.
inline constexpr float kRibbonLap = 24.0f;
engine::math::Vector3f RibbonPosition(const GroundHeight& ground, float seconds);

} // namespace kovra::tools
