#pragma once

#include "engine/math/vector3f.h"

#include <vector>

namespace nature {

struct BranchPoint {
    engine::math::Vector3f position;
    engine::math::Vector3f tangent; // set by smoothing
    float segmentLength = 0.0f;     // distance to the next point
    float arc = 0.0f;               // arc length from the trunk's root
    float radius = 0.0f;            // tapers to 0 at the branch tip
};

// One path of the turtle. A branch starts at the point of its parent where
// it grew, so its first point repeats that point.
struct Branch {
    std::vector<BranchPoint> points;
    int parent = -1;     // index of the branch it grew from; -1 for the trunk
    int parentPoint = 0; // the parent's point it starts at
    float startArc = 0.0f;

    float Length() const { return points.empty() ? 0.0f : points.back().arc - startArc; }
};

// All branches of a tree, the trunk first; a branch comes after its parent.
struct TurtlePath {
    std::vector<Branch> branches;
};

} // namespace nature
