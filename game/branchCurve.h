#pragma once

#include "turtlePath.h"

#include "engine/math/vector3f.h"

namespace nature {

// Gives a branch of at least two points its tangents: inner points start
// from the difference of the unit directions to their neighbours, then three
// passes set each inner tangent to the length-weighted average of its
// neighbours'; the ends copy theirs. A two-point branch gets the direction
// of its one segment at both ends.
void Smooth(Branch& branch);

// A point of a smoothed branch's curve at arc length s from its start: cubic
// Hermite between the surrounding points, tangents scaled by the segment
// length; the radius interpolated linearly.
struct CurvePoint {
    engine::math::Vector3f position;
    engine::math::Vector3f direction; // unit, along the curve
    float radius;
};
CurvePoint Evaluate(const Branch& branch, float s);

// A unit vector perpendicular to the unit direction, as close to `hint` as
// possible; carrying the result along a curve as the next hint keeps rings
// from twisting.
engine::math::Vector3f Across(const engine::math::Vector3f& direction,
                              const engine::math::Vector3f& hint);

// Whether the branch's first tangent is (almost) zero: no curve to follow.
bool HasDegenerateStart(const Branch& branch);

} // namespace nature
