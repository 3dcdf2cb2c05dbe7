#include "engine/math/matrixHelpers.h"
#include "engine/math/matrix3x3.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace engine::math;

namespace {

constexpr float kHalfPi = std::numbers::pi_v<float> / 2.0f;

void ExpectMatrixNear(const Matrix4x4& actual, const Matrix4x4& expected, float tolerance = 1e-6f) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "element " << i;
}

void ExpectNear(const Vector3f& actual, const Vector3f& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

Matrix4x4 ZQuarterTurn() {
    Matrix4x4 m = Matrix4x4::Identity;
    m.ToZRot(kHalfPi);
    return m;
}

} // namespace

TEST(MatrixHelpers, PerspectiveFovLH) {
    const Matrix4x4 p = MatrixPerspectiveFovLH(kHalfPi, 1.0f, 1.0f, 11.0f);
    ExpectMatrixNear(p, Matrix4x4(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.1f, 1, 0, 0, -1.1f, 0));
    // Aspect divides the x scale only.
    const Matrix4x4 wide = MatrixPerspectiveFovLH(kHalfPi, 2.0f, 1.0f, 11.0f);
    EXPECT_NEAR(wide.m[0], 0.5f, 1e-6f);
    EXPECT_NEAR(wide.m[5], 1.0f, 1e-6f);
}

TEST(MatrixHelpers, LookAtLH) {
    const Matrix4x4 front =
        MatrixLookAtLH(Vector3f(0, 0, -5), Vector3f(0, 0, 0), Vector3f(0, 1, 0));
    Matrix4x4 expected = Matrix4x4::Identity;
    expected.ToTranslation(Vector3f(0, 0, 5));
    ExpectMatrixNear(front, expected);
    // Looking down -x, world +z is to the right.
    const Matrix4x4 side = MatrixLookAtLH(Vector3f(5, 0, 0), Vector3f(0, 0, 0), Vector3f(0, 1, 0));
    ExpectNear(Vector3f(0, 0, 1) * side, Vector3f(1, 0, 5));
}

TEST(MatrixHelpers, RotationAxisFollowsDirect3D) {
    ExpectMatrixNear(MatrixRotationAxis(Vector3f(0, 0, 2), kHalfPi), ZQuarterTurn());
    // About X the sines sit as in Direct3D, not as in Matrix3x3::ToXRot.
    ExpectNear(Vector3f(0, 1, 0) * MatrixRotationAxis(Vector3f(1, 0, 0), kHalfPi),
               Vector3f(0, 0, 1));
    ExpectNear(Vector3f(0, 0, 1) * MatrixRotationAxis(Vector3f(0, 1, 0), kHalfPi),
               Vector3f(1, 0, 0));
}

TEST(MatrixHelpers, QuaternionMatrices) {
    const Quaternion z = Quaternion::RotationAxis(Vector3f(0, 0, 1), kHalfPi);
    ExpectMatrixNear(MatrixRotationQuaternion(z), ZQuarterTurn());
    const Vector3f axis(1, 2, 3);
    ExpectMatrixNear(MatrixRotationQuaternion(Quaternion::RotationAxis(axis, 0.7f)),
                     MatrixRotationAxis(axis, 0.7f));
    // Not normalised: a quaternion of length 2 is used as it is.
    const Matrix4x4 raw = MatrixRotationQuaternion(Quaternion(0, 0, 0, 2));
    EXPECT_FLOAT_EQ(raw.m[0], 1.0f);
    const Matrix4x4 scaled = MatrixRotationQuaternion(Quaternion(1, 0, 0, 1));
    EXPECT_FLOAT_EQ(scaled.m[5], -1.0f);
    EXPECT_FLOAT_EQ(scaled.m[6], 2.0f);
}

TEST(MatrixHelpers, QuaternionProductAppliesLeftFirst) {
    const Quaternion a = Quaternion::RotationAxis(Vector3f(1, 0, 0), 0.4f);
    const Quaternion b = Quaternion::RotationAxis(Vector3f(0, 1, 1), 1.1f);
    ExpectMatrixNear(MatrixRotationQuaternion(a * b),
                     MatrixRotationQuaternion(a) * MatrixRotationQuaternion(b), 1e-5f);
}

TEST(MatrixHelpers, QuaternionNormalizeAndSlerp) {
    Quaternion q(0, 3, 0, 4);
    q.Normalize();
    EXPECT_FLOAT_EQ(q.y, 0.6f);
    EXPECT_FLOAT_EQ(q.w, 0.8f);
    Quaternion zero(0, 0, 0, 0);
    zero.Normalize();
    EXPECT_EQ(zero.w, 0.0f);

    const Quaternion from;
    const Quaternion to = Quaternion::RotationAxis(Vector3f(0, 0, 1), kHalfPi);
    const Quaternion half = Quaternion::Slerp(from, to, 0.5f);
    const Quaternion expected = Quaternion::RotationAxis(Vector3f(0, 0, 1), kHalfPi / 2.0f);
    EXPECT_NEAR(half.z, expected.z, 1e-6f);
    EXPECT_NEAR(half.w, expected.w, 1e-6f);
    // The shorter arc: the negated target is the same rotation.
    const Quaternion flipped = Quaternion::Slerp(from, Quaternion(0, 0, -to.z, -to.w), 0.5f);
    EXPECT_NEAR(flipped.z, expected.z, 1e-6f);
    EXPECT_NEAR(flipped.w, expected.w, 1e-6f);
    const Quaternion same = Quaternion::Slerp(to, to, 0.3f);
    EXPECT_NEAR(same.z, to.z, 1e-6f);
}

TEST(MatrixHelpers, TransformationScalesRotatesTranslates) {
    const Vector3f scale(2, 2, 2);
    const Quaternion rotation = Quaternion::RotationAxis(Vector3f(0, 0, 1), kHalfPi);
    const Vector3f translation(1, 2, 3);
    ExpectNear(Vector3f(1, 0, 0) * MatrixTransformation(&scale, &rotation, &translation),
               Vector3f(1, 4, 3));
    ExpectNear(Vector3f(1, 0, 0) * MatrixTransformation(nullptr, &rotation, &translation),
               Vector3f(1, 3, 3));
    ExpectMatrixNear(MatrixTransformation(nullptr, nullptr, nullptr), Matrix4x4::Identity);
    ExpectNear(Vector3f(1, 1, 1) * MatrixScaling(1, 2, 3), Vector3f(1, 2, 3));
    ExpectNear(Vector3f(1, 1, 1) * MatrixTranslation(1, 2, 3), Vector3f(2, 3, 4));
}

TEST(MatrixHelpers, InverseOfComposedMatrix) {
    const Matrix4x4 m = MatrixScaling(2, 3, 0.5f) * MatrixRotationAxis(Vector3f(1, 1, 0), 0.8f) *
                        MatrixTranslation(4, -5, 6) * MatrixPerspectiveFovLH(1.0f, 1.5f, 0.5f, 100);
    Matrix4x4 inv;
    ASSERT_TRUE(MatrixInverse(m, inv));
    ExpectMatrixNear(inv * m, Matrix4x4::Identity, 1e-4f);
    ExpectMatrixNear(m * inv, Matrix4x4::Identity, 1e-4f);
}

TEST(MatrixHelpers, InverseOfSingularFails) {
    const Matrix4x4 singular = MatrixScaling(1, 0, 1);
    Matrix4x4 out = ZQuarterTurn();
    EXPECT_FALSE(MatrixInverse(singular, out));
    ExpectMatrixNear(out, ZQuarterTurn());
}

TEST(MatrixHelpers, TransformCoordDividesAndNormalSkipsTranslation) {
    const Matrix4x4 p = MatrixPerspectiveFovLH(kHalfPi, 1.0f, 1.0f, 11.0f);
    ExpectNear(TransformCoord(Vector3f(2, 4, 11), p), Vector3f(2.0f / 11, 4.0f / 11, 1));
    ExpectNear(TransformCoord(Vector3f(0, 0, 1), p), Vector3f(0, 0, 0));
    const Matrix4x4 moved = ZQuarterTurn() * MatrixTranslation(5, 6, 7);
    ExpectNear(TransformNormal(Vector3f(1, 0, 0), moved), Vector3f(0, 1, 0));
    ExpectNear(TransformCoord(Vector3f(1, 0, 0), moved), Vector3f(5, 7, 7));
}
