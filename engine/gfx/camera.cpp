#include "engine/gfx/camera.h"

#include <cmath>

namespace engine::gfx {

Camera::Camera(Spatial* parent) : Node(parent) {}

Camera::~Camera() = default;

math::Matrix4x4 Camera::World() {
    return mParentWorld * LocalReverse();
}

void Camera::Update(RenderQueue& queue) {
    if (mParent)
        mParentWorld = mParent->World();
    for (const auto& child : mChildren)
        child->Update(queue);
}

void Camera::TranslateLocalZ(float distance) {
    mTransformation.Translate(mTransformation.Translate() +
                              mTransformation.Rotate().GetVectorZ() * distance);
}

void Camera::TranslateLocalX(float distance) {
    mTransformation.Translate(mTransformation.Translate() +
                              mTransformation.Rotate().GetVectorX() * distance);
}

void Camera::RotateLocalY(float angle) {
    Turn(math::Vector3f(0.0f, 1.0f, 0.0f), angle);
}

void Camera::RotateLocalX(float angle) {
    Turn(math::Vector3f(1.0f, 0.0f, 0.0f), angle);
}

// Hamilton product orientation (x) q with the orientation on the left, so
// that the turn is about the camera's own axis; the rotation matrix is the
// usual one of a unit quaternion.
void Camera::Turn(const math::Vector3f& axis, float angle) {
    const float s = std::sin(angle * 0.5f);
    const math::Quaternion q(axis.x * s, axis.y * s, axis.z * s, std::cos(angle * 0.5f));
    const math::Quaternion& p = mOrientation;
    mOrientation = math::Quaternion(p.w * q.x + p.x * q.w + p.y * q.z - p.z * q.y,
                                    p.w * q.y - p.x * q.z + p.y * q.w + p.z * q.x,
                                    p.w * q.z + p.x * q.y - p.y * q.x + p.z * q.w,
                                    p.w * q.w - p.x * q.x - p.y * q.y - p.z * q.z);
    const float x = mOrientation.x, y = mOrientation.y, z = mOrientation.z, w = mOrientation.w;
    mTransformation.Rotate(
        math::Matrix3x3(1 - 2 * y * y - 2 * z * z, 2 * x * y - 2 * z * w, 2 * x * z + 2 * y * w,
                        2 * x * y + 2 * z * w, 1 - 2 * x * x - 2 * z * z, 2 * y * z - 2 * x * w,
                        2 * x * z - 2 * y * w, 2 * y * z + 2 * x * w, 1 - 2 * x * x - 2 * y * y));
}

} // namespace engine::gfx
