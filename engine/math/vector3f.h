#pragma once

#include "engine/engineApi.h"

#include <cmath>

namespace engine::math {

/// A 3D vector of floats; a row vector, transformed as v * M.
struct ENGINE_API Vector3f {
    float x, y, z;

    Vector3f() : x(0.0f), y(0.0f), z(0.0f) {}
    Vector3f(float x, float y, float z) : x(x), y(y), z(z) {}

    void Assign(float nx, float ny, float nz) {
        x = nx;
        y = ny;
        z = nz;
    }
    void Invert() {
        x = -x;
        y = -y;
        z = -z;
    }
    Vector3f Neg() const { return Vector3f(-x, -y, -z); }
    Vector3f operator-() const { return Neg(); }
    float AddComponents() const { return x + y + z; }
    float MagSquared() const { return x * x + y * y + z * z; }
    float Mag() const { return std::sqrt(MagSquared()); }
    void Normalize() {
        const float inverse = 1.0f / Mag();
        x *= inverse;
        y *= inverse;
        z *= inverse;
    }
    static float Dist(const Vector3f& a, const Vector3f& b) {
        return Vector3f(b.x - a.x, b.y - a.y, b.z - a.z).Mag();
    }
};

inline Vector3f operator+(const Vector3f& a, const Vector3f& b) {
    return Vector3f(a.x + b.x, a.y + b.y, a.z + b.z);
}

inline Vector3f operator-(const Vector3f& a, const Vector3f& b) {
    return Vector3f(a.x - b.x, a.y - b.y, a.z - b.z);
}

inline Vector3f operator*(const Vector3f& v, const float& s) {
    return Vector3f(v.x * s, v.y * s, v.z * s);
}

inline Vector3f operator*(const float& s, const Vector3f& v) {
    return v * s;
}

/// Dot product.
inline float operator*(const Vector3f& a, const Vector3f& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

/// Cross product.
inline Vector3f operator^(const Vector3f& a, const Vector3f& b) {
    return Vector3f(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

/// Equal within 0.001 per component, so that values that went through
/// different float paths still compare equal.
inline bool operator==(const Vector3f& a, const Vector3f& b) {
    return std::fabs(a.x - b.x) < 0.001f && std::fabs(a.y - b.y) < 0.001f &&
           std::fabs(a.z - b.z) < 0.001f;
}

inline Vector3f& operator+=(Vector3f& a, const Vector3f& b) {
    a.x += b.x;
    a.y += b.y;
    a.z += b.z;
    return a;
}

inline Vector3f& operator-=(Vector3f& a, const Vector3f& b) {
    a.x -= b.x;
    a.y -= b.y;
    a.z -= b.z;
    return a;
}

// Engine-internal helpers.

inline Vector3f operator*(const Vector3f& v, double s) {
    return Vector3f(static_cast<float>(v.x * s), static_cast<float>(v.y * s),
                    static_cast<float>(v.z * s));
}

inline Vector3f ComponentMul(const Vector3f& a, const Vector3f& b) {
    return Vector3f(a.x * b.x, a.y * b.y, a.z * b.z);
}

} // namespace engine::math
