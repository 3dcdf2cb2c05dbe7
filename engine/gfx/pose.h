#pragma once

#include "engine/math/vector3f.h"
#include "engine/math/vector4f.h"

namespace engine::gfx {

// A bone's animated offsets: location and quaternion (x, y, z, w) parts,
// summed component-wise from the pipes and not normalised.
struct Pose {
    math::Vector3f location;
    math::Vector4f rotation;
};

} // namespace engine::gfx
