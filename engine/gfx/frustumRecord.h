#pragma once

#include "engine/math/matrix4x4.h"
#include "engine/math/plane3f.h"
#include "engine/math/vector3f.h"

namespace engine::gfx {

class Spatial;

// The view frustum of one camera for one frame, in view space: six planes
// whose normals point into the visible volume, the eye at the origin and
// the camera object it was made for.
struct FrustumRecord {
    enum PlaneIndex { Top = 0, Bottom, Far, Near, Left, Right };
    // The far plane stands at this distance whatever the projection says.
    static constexpr float kFarDistance = 500.0f;

    // Planes from the columns of a projection matrix.
    static FrustumRecord FromProjection(const math::Matrix4x4& projection, Spatial* camera);

    math::Plane3f planes[6];
    math::Vector3f eye;
    Spatial* camera = nullptr;
};

} // namespace engine::gfx
