#include "engine/math/quaternion.h"

#include <cmath>

namespace engine::math {

Quaternion Quaternion::RotationAxis(const Vector3f& axis, float angle) {
    Vector3f n = axis;
    const float length = n.Mag();
    if (length > 0.0f)
        n = n * (1.0f / length);
    const float s = std::sin(angle * 0.5f);
    return Quaternion(n.x * s, n.y * s, n.z * s, std::cos(angle * 0.5f));
}

void Quaternion::Normalize() {
    const float length = std::sqrt(Dot(*this));
    if (length == 0.0f)
        return;
    const float inverse = 1.0f / length;
    x *= inverse;
    y *= inverse;
    z *= inverse;
    w *= inverse;
}

Quaternion Quaternion::Slerp(const Quaternion& a, const Quaternion& b, float t) {
    float cosine = a.Dot(b);
    float sign = 1.0f;
    if (cosine < 0.0f) {
        cosine = -cosine;
        sign = -1.0f;
    }
    float wa = 1.0f - t;
    float wb = t;
    // Nearly parallel: sin(theta) vanishes, the linear blend is exact enough.
    if (1.0f - cosine > 0.001f) {
        const float theta = std::acos(cosine);
        const float s = std::sin(theta);
        wa = std::sin(wa * theta) / s;
        wb = std::sin(wb * theta) / s;
    }
    wb *= sign;
    return Quaternion(wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z,
                      wa * a.w + wb * b.w);
}

Quaternion operator*(const Quaternion& a, const Quaternion& b) {
    // Hamilton product b * a: a's rotation applies first.
    return Quaternion(b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y,
                      b.w * a.y - b.x * a.z + b.y * a.w + b.z * a.x,
                      b.w * a.z + b.x * a.y - b.y * a.x + b.z * a.w,
                      b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z);
}

} // namespace engine::math
