#include "engine/gfx/frustumRecord.h"

#include <cmath>

namespace engine::gfx {

namespace {

math::Plane3f Normalized(float a, float b, float c, float d) {
    const float length = std::sqrt(a * a + b * b + c * c);
    return math::Plane3f(a / length, b / length, c / length, d / length);
}

} // namespace

FrustumRecord FrustumRecord::FromProjection(const math::Matrix4x4& projection, Spatial* camera) {
    const float* m = projection.m;
    // Column j of the row-major matrix is (m[j], m[4 + j], m[8 + j], m[12 + j]).
    auto column = [m](int j, float sign, float out[4]) {
        for (int r = 0; r < 4; ++r)
            out[r] = m[4 * r + 3] + sign * m[4 * r + j];
    };
    FrustumRecord record;
    float p[4];
    column(1, -1.0f, p);
    record.planes[Top] = Normalized(p[0], p[1], p[2], p[3]);
    column(1, 1.0f, p);
    record.planes[Bottom] = Normalized(p[0], p[1], p[2], p[3]);
    column(2, -1.0f, p);
    math::Vector3f farNormal(p[0], p[1], p[2]);
    farNormal.Normalize();
    record.planes[Far] = math::Plane3f(farNormal, kFarDistance);
    column(2, 1.0f, p);
    record.planes[Near] = Normalized(p[0], p[1], p[2], p[3]);
    column(0, 1.0f, p);
    record.planes[Left] = Normalized(p[0], p[1], p[2], p[3]);
    column(0, -1.0f, p);
    record.planes[Right] = Normalized(p[0], p[1], p[2], p[3]);
    record.eye = math::Vector3f(0.0f, 0.0f, 0.0f);
    record.camera = camera;
    return record;
}

} // namespace engine::gfx
