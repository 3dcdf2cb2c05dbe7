// glTF placements turned into the scene file's location and Euler angles,
// checked through the engine's own rotation matrices: a point of the glTF
// scene, placed, must land where the mirrored point lands when the engine
// applies the angles as its rotation pipes do (x, then y, then z).
#include "importer/gltfAxes.h"

#include "engine/math/matrixHelpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using engine::math::Matrix4x4;
using engine::math::MatrixRotationAxis;
using engine::math::TransformNormal;
using engine::math::Vector3f;
using kovra::importer::EnginePlacement;
using kovra::importer::Placement;
using kovra::importer::Vec3;

// Column vectors, right-handed: q * v * conj(q).
Vec3 Rotate(const std::array<double, 4>& q, const Vec3& v) {
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    const Vec3 t{2 * (y * v[2] - z * v[1]), 2 * (z * v[0] - x * v[2]), 2 * (x * v[1] - y * v[0])};
    return {v[0] + w * t[0] + y * t[2] - z * t[1], v[1] + w * t[1] + z * t[0] - x * t[2],
            v[2] + w * t[2] + x * t[1] - y * t[0]};
}

Matrix4x4 EngineRotation(const Placement& p) {
    return MatrixRotationAxis(Vector3f(1, 0, 0), p.rotation[0]) *
           MatrixRotationAxis(Vector3f(0, 1, 0), p.rotation[1]) *
           MatrixRotationAxis(Vector3f(0, 0, 1), p.rotation[2]);
}

std::array<double, 4> AxisAngle(Vec3 axis, double angle) {
    const double n = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    const double s = std::sin(angle / 2) / n;
    return {axis[0] * s, axis[1] * s, axis[2] * s, std::cos(angle / 2)};
}

// a then b, as glTF composes a parent's rotation with its child's: a * b.
std::array<double, 4> Product(const std::array<double, 4>& a, const std::array<double, 4>& b) {
    return {a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1],
            a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0],
            a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3],
            a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2]};
}

class GltfAxesTest : public testing::TestWithParam<std::array<double, 4>> {};

TEST_P(GltfAxesTest, PlacedPointsLandOnTheMirroredGltfPoints) {
    const std::array<double, 4> q = GetParam();
    const Placement placement = EnginePlacement({1.5, -2, 3}, q, {1, 2, 3});
    EXPECT_EQ(placement.location, (std::array<float, 3>{1.5f, -2, -3}));
    EXPECT_EQ(placement.scale, (std::array<float, 3>{1, 2, 3}));
    const Matrix4x4 rotation = EngineRotation(placement);
    // Points along no axis and unlike their mirror images.
    for (const Vec3& point : {Vec3{1, 0.2, 0.5}, Vec3{-0.3, 1, 0.7}, Vec3{0.1, -0.4, 1}}) {
        const Vec3 expected = Rotate(q, point);
        const Vector3f placed =
            TransformNormal(Vector3f(static_cast<float>(point[0]), static_cast<float>(point[1]),
                                     static_cast<float>(-point[2])),
                            rotation);
        EXPECT_NEAR(placed.x, expected[0], 1e-5);
        EXPECT_NEAR(placed.y, expected[1], 1e-5);
        EXPECT_NEAR(placed.z, -expected[2], 1e-5);
    }
    // The same rotation given as a matrix, scaled and moved.
    std::array<double, 16> m{};
    const Vec3 columns[3] = {Rotate(q, {1, 0, 0}), Rotate(q, {0, 1, 0}), Rotate(q, {0, 0, 1})};
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            m[4 * c + r] = columns[c][r] * (c + 1);
    m[12] = 1.5;
    m[13] = -2;
    m[14] = 3;
    m[15] = 1;
    const Placement fromMatrix = EnginePlacement(m);
    EXPECT_EQ(fromMatrix.location, placement.location);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR(fromMatrix.scale[axis], placement.scale[axis], 1e-6);
        const Vector3f a = TransformNormal(Vector3f(0.3f, 0.5f, 0.8f), EngineRotation(fromMatrix));
        const Vector3f b = TransformNormal(Vector3f(0.3f, 0.5f, 0.8f), rotation);
        EXPECT_NEAR(a.x, b.x, 1e-5);
        EXPECT_NEAR(a.y, b.y, 1e-5);
        EXPECT_NEAR(a.z, b.z, 1e-5);
    }
}

// About each axis both ways, half turns, and tilted axes, including the
// straight-up and straight-down pitches where the angles lock.
INSTANTIATE_TEST_SUITE_P(
    Rotations, GltfAxesTest,
    testing::Values(std::array<double, 4>{0, 0, 0, 1}, AxisAngle({1, 0, 0}, 0.6),
                    AxisAngle({0, 1, 0}, 1.2), AxisAngle({0, 0, 1}, -0.9),
                    AxisAngle({0, 1, 0}, 3.14159265), AxisAngle({1, 2, 3}, 2.2),
                    AxisAngle({-2, 0.5, 1}, -1.4), AxisAngle({0, 1, 0}, 1.5707963),
                    Product(AxisAngle({0, 1, 0}, -1.5707963), AxisAngle({1, 0, 0}, 0.7)),
                    Product(AxisAngle({0, 0, 1}, 0.4),
                            Product(AxisAngle({0, 1, 0}, 1.5707963), AxisAngle({1, 0, 0}, -2)))));

TEST(GltfAxesTest, FlippedWindingTurnsEachTriangleRound) {
    std::vector<std::uint32_t> indices{0, 1, 2, 3, 4, 5};
    kovra::importer::FlipWinding(indices);
    EXPECT_EQ(indices, (std::vector<std::uint32_t>{0, 2, 1, 3, 5, 4}));
}

} // namespace
