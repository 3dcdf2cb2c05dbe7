#pragma once

#include "engine/engineApi.h"
#include "engine/math/vector3f.h"

namespace engine::math {

/// Points p on the plane satisfy dot(normal, p) + d = 0.
struct ENGINE_API Plane3f {
    enum Location { Front = 0, Back = 1, OnPlane = 2, Spanning = 3 };

    Vector3f normal;
    float d;

    Plane3f() : d(0.0f) {}
    Plane3f(float a, float b, float c, float d) : normal(a, b, c), d(d) {}
    Plane3f(const Vector3f& normal, float d) : normal(normal), d(d) {}
    /// The normal is taken as given, not normalised.
    Plane3f(const Vector3f& normal, const Vector3f& point) : normal(normal), d(-(normal * point)) {}
    Plane3f(const Vector3f& p1, const Vector3f& p2, const Vector3f& p3)
        : normal((p2 - p1) ^ (p3 - p1)) {
        normal.Normalize();
        d = -(normal * p1);
    }

    Location TestPoint(Vector3f p) const {
        const float s = p * normal + d;
        if (s > 0.001f)
            return Front;
        if (s < -0.001f)
            return Back;
        return OnPlane;
    }

    /// Where the segment a-b crosses the plane; a and b lie on different sides.
    Vector3f Split(const Vector3f& a, const Vector3f& b) const {
        const float da = a * normal;
        const float db = b * normal;
        const float t = (-d - da) / (db - da);
        return a + t * (b - a);
    }
};

/// Engine-internal: where a sphere of radius r around centre lies.
inline Plane3f::Location TestSphere(float radius, const Vector3f& centre, const Plane3f& plane) {
    const float s = plane.normal * centre + plane.d;
    if (s > radius)
        return Plane3f::Front;
    if (s < -radius)
        return Plane3f::Back;
    return Plane3f::Spanning;
}

} // namespace engine::math
