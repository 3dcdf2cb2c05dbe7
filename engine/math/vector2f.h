#pragma once

#include "engine/engineApi.h"

#include <cmath>

namespace engine::math {

/// A 2D vector of floats (texture coordinates, screen positions).
struct ENGINE_API Vector2f {
    float x, y;

    Vector2f() : x(0.0f), y(0.0f) {}
    Vector2f(float x, float y) : x(x), y(y) {}

    void Assign(float nx, float ny) {
        x = nx;
        y = ny;
    }
    void Invert() {
        x = -x;
        y = -y;
    }
    float MagSquared() const { return x * x + y * y; }
    float Mag() const { return std::sqrt(MagSquared()); }
    void Normalize() {
        const float length = Mag();
        x /= length;
        y /= length;
    }
    static float Dist(const Vector2f& a, const Vector2f& b) {
        return Vector2f(b.x - a.x, b.y - a.y).Mag();
    }
};

} // namespace engine::math
