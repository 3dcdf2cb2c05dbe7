#pragma once

#include "engine/gfx/node.h"
#include "engine/math/quaternion.h"
#include "engine/math/vector3f.h"

namespace engine::gfx {

// A node whose world matrix applies its local transformation in reverse
// (translate, then rotate), which makes it a view transformation. Moves and
// turns are about the camera's own axes.
class Camera : public Node {
public:
    explicit Camera(Spatial* parent);
    ~Camera() override;

    // The parent's world matrix, then the reversed local transformation.
    math::Matrix4x4 World() override;
    // Caches the parent's world matrix (not its inverse), then updates the
    // children in order.
    void Update(RenderQueue& queue) override;

    // Along the camera's own Z axis (third column of the rotation).
    void TranslateLocalZ(float distance);
    // Along the camera's own X axis (first column of the rotation).
    void TranslateLocalX(float distance);
    // Turns about the camera's own Y or X axis by angle radians.
    void RotateLocalY(float angle);
    void RotateLocalX(float angle);

    const math::Quaternion& Orientation() const { return mOrientation; }
    const math::Vector3f& Target() const { return mTarget; }
    void Target(const math::Vector3f& target) { mTarget = target; }

private:
    void Turn(const math::Vector3f& axis, float angle);

    math::Quaternion mOrientation;
    math::Vector3f mTarget;
};

} // namespace engine::gfx
