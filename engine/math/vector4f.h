#pragma once

#include "engine/engineApi.h"
#include "engine/math/vector3f.h"

#include <cmath>

namespace engine::math {

/// A 4D vector of floats (homogeneous points, colours).
struct ENGINE_API Vector4f {
    float x, y, z, w;

    Vector4f() : x(0.0f), y(0.0f), z(0.0f), w(0.0f) {}
    Vector4f(float x, float y, float z, float w) : x(x), y(y), z(z), w(w) {}
    Vector4f(const Vector3f& v, float w) : x(v.x), y(v.y), z(v.z), w(w) {}

    void Assign(float nx, float ny, float nz, float nw) {
        x = nx;
        y = ny;
        z = nz;
        w = nw;
    }
    float MagSquared() const { return x * x + y * y + z * z + w * w; }
    float Mag() const { return std::sqrt(MagSquared()); }
    void Normalize() {
        const float inverse = 1.0f / Mag();
        x *= inverse;
        y *= inverse;
        z *= inverse;
        w *= inverse;
    }
    static float Dist(const Vector4f& a, const Vector4f& b) {
        return Vector4f(b.x - a.x, b.y - a.y, b.z - a.z, b.w - a.w).Mag();
    }
};

// Engine-internal helpers.

inline Vector4f operator*(const Vector4f& v, float s) {
    return Vector4f(v.x * s, v.y * s, v.z * s, v.w * s);
}

inline Vector4f& operator+=(Vector4f& a, const Vector4f& b) {
    a.x += b.x;
    a.y += b.y;
    a.z += b.z;
    a.w += b.w;
    return a;
}

inline Vector4f ComponentMul(const Vector4f& a, const Vector4f& b) {
    return Vector4f(a.x * b.x, a.y * b.y, a.z * b.z, a.w * b.w);
}

} // namespace engine::math
