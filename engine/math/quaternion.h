#pragma once

#include "engine/math/vector3f.h"

namespace engine::math {

// Rotation quaternion (x, y, z, w) with Direct3D's conventions: a * b
// rotates by a first, then by b, so that the matrix of a * b is the matrix
// of a times the matrix of b.
struct Quaternion {
    float x, y, z, w;

    Quaternion() : x(0.0f), y(0.0f), z(0.0f), w(1.0f) {}
    Quaternion(float x, float y, float z, float w) : x(x), y(y), z(z), w(w) {}

    // Rotation by angle radians about axis (normalised here).
    static Quaternion RotationAxis(const Vector3f& axis, float angle);

    Quaternion Conjugate() const { return Quaternion(-x, -y, -z, w); }
    float Dot(const Quaternion& q) const { return x * q.x + y * q.y + z * q.z + w * q.w; }
    // Scales to unit length; a zero quaternion stays zero.
    void Normalize();

    // Spherical interpolation from a (t = 0) to b (t = 1) along the shorter arc.
    static Quaternion Slerp(const Quaternion& a, const Quaternion& b, float t);
};

Quaternion operator*(const Quaternion& a, const Quaternion& b);

} // namespace engine::math
