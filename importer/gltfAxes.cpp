#include "importer/gltfAxes.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kovra::importer {

namespace {

using Matrix3 = std::array<std::array<double, 3>, 3>; // [row][column], column vectors

// The engine applies its rotation pipes x, then y, then z, each a
// Direct3D rotation (row vectors); with column vectors that is
// Rz(c) * Ry(b) * Rx(a), and the angles come out as below.
std::array<float, 3> EulerAngles(const Matrix3& r) {
    const double sinY = std::clamp(-r[2][0], -1.0, 1.0);
    double x = 0.0;
    double z = 0.0;
    if (std::abs(sinY) < 0.9999999) {
        x = std::atan2(r[2][1], r[2][2]);
        z = std::atan2(r[1][0], r[0][0]);
    } else {
        // Gimbal lock: x and z turn about the same axis; all of it goes to x.
        x = std::atan2(-r[1][2], r[1][1]);
    }
    return {static_cast<float>(x), static_cast<float>(std::asin(sinY)), static_cast<float>(z)};
}

// M * r * M with M the z mirror: a rotation again, of the mirrored scene.
Matrix3 Mirrored(Matrix3 r) {
    r[0][2] = -r[0][2];
    r[1][2] = -r[1][2];
    r[2][0] = -r[2][0];
    r[2][1] = -r[2][1];
    return r;
}

Matrix3 QuaternionMatrix(const std::array<double, 4>& q) {
    const double n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    const double x = q[0] / n, y = q[1] / n, z = q[2] / n, w = q[3] / n;
    return {{{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
             {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
             {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}}};
}

Placement Place(const Vec3& translation, const Matrix3& rotation, const Vec3& scale) {
    Placement p;
    const Vec3 location = EngineVector(translation);
    for (int i = 0; i < 3; ++i) {
        p.location[i] = static_cast<float>(location[i]);
        p.scale[i] = static_cast<float>(scale[i]);
    }
    p.rotation = EulerAngles(Mirrored(rotation));
    return p;
}

} // namespace

Vec3 EngineVector(const Vec3& v) {
    return {v[0], v[1], -v[2]};
}

Placement EnginePlacement(const Vec3& translation, const std::array<double, 4>& rotation,
                          const Vec3& scale) {
    return Place(translation, QuaternionMatrix(rotation), scale);
}

Placement EnginePlacement(const std::array<double, 16>& m) {
    Vec3 scale{};
    Matrix3 rotation{};
    for (int column = 0; column < 3; ++column) {
        const double* c = &m[4 * column];
        scale[column] = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
        for (int row = 0; row < 3; ++row)
            rotation[row][column] = scale[column] > 0.0 ? c[row] / scale[column] : 0.0;
    }
    return Place({m[12], m[13], m[14]}, rotation, scale);
}

void FlipWinding(std::vector<std::uint32_t>& indices) {
    for (std::size_t i = 0; i + 2 < indices.size(); i += 3)
        std::swap(indices[i + 1], indices[i + 2]);
}

} // namespace kovra::importer
