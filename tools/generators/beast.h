#pragma once

#include "tools/generators/meshModel.h"

#include "engine/math/vector3f.h"

#include <string>
#include <vector>

namespace kovra::tools {

// The Beast stands about 1.1 units at the shoulder, so that it shows above
// the grass.
inline constexpr float kBeastScale = 1.6f;

// A joint of the Beast's skeleton: where it sits in the model (units of the
// scene; the feet on y = 0, the head towards +z, its left towards -x) and its
// parent.
struct BeastJoint {
    std::string name;
    std::string parent; // empty for the root
    engine::math::Vector3f at;
};

// The sixteen joints, parents before children: body (Root, Hips, Chest),
// neck and head, three tail joints, and an upper and a lower joint for
// each of the four legs.
const std::vector<BeastJoint>& BeastJoints();

// Leg length from hip to foot: the walk's stride follows from it.
inline constexpr float kBeastLegLength = 0.62f * kBeastScale;

// The skinned body: tubes along the bones, blended across the joints, at
// most two influences per vertex.
MeshModel BeastModel();

// The walk cycle as a ".anim" file: 21 frames (curve frames 1 to 22, the
// last pose equal to the first) whose feet push the ground back by `stride`
// metres per cycle.
std::string BeastWalk(float stride);

// The hip swing (radians either way) that makes a cycle cover `stride`.
float WalkSwing(float stride);

} // namespace kovra::tools
