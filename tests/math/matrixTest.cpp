#include "engine/math/matrix3x3.h"
#include "engine/math/matrix4x4.h"

#include <gtest/gtest.h>

#include <numbers>

using engine::math::Matrix3x3;
using engine::math::Matrix4x4;
using engine::math::Vector3f;

namespace {

constexpr float kHalfPi = std::numbers::pi_v<float> / 2.0f;

void ExpectNear(const Vector3f& actual, const Vector3f& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-6f);
    EXPECT_NEAR(actual.y, expected.y, 1e-6f);
    EXPECT_NEAR(actual.z, expected.z, 1e-6f);
}

Matrix4x4 Counting() {
    return Matrix4x4(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
}

} // namespace

TEST(Matrix3x3, RotationsMapAxesAsListed) {
    Matrix3x3 z = Matrix3x3::Identity;
    z.ToZRot(kHalfPi);
    ExpectNear(Vector3f(1, 0, 0) * z, Vector3f(0, 1, 0));
    Matrix3x3 x = Matrix3x3::Identity;
    x.ToXRot(kHalfPi);
    ExpectNear(Vector3f(0, 1, 0) * x, Vector3f(0, 0, -1));
    Matrix3x3 y = Matrix3x3::Identity;
    y.ToYRot(kHalfPi);
    ExpectNear(Vector3f(1, 0, 0) * y, Vector3f(0, 0, -1));
}

TEST(Matrix3x3, RotationsPostMultiply) {
    // Z first, then X: (1,0,0) -> (0,1,0) -> (0,0,-1).
    Matrix3x3 m = Matrix3x3::Identity;
    m.ToZRot(kHalfPi);
    m.ToXRot(kHalfPi);
    ExpectNear(Vector3f(1, 0, 0) * m, Vector3f(0, 0, -1));
}

TEST(Matrix3x3, RowsColumnsTransposeDeterminant) {
    Matrix3x3 m(1, 2, 3, 4, 5, 6, 7, 8, 10);
    EXPECT_FLOAT_EQ(m.Determinant(), -3.0f);
    m.SetVector(Vector3f(1, 2, 3), 1);
    EXPECT_EQ(m.m[3], 1.0f);
    EXPECT_EQ(m.m[4], 2.0f);
    EXPECT_EQ(m.m[5], 3.0f);
    ExpectNear(m.GetVectorY(), Vector3f(2, 2, 8));
    ExpectNear(m.GetVectorX(), Vector3f(1, 1, 7));
    ExpectNear(m.GetVectorZ(), Vector3f(3, 3, 10));
    const Matrix3x3 t = m.Transpose();
    EXPECT_EQ(t.m[1], 1.0f);
    EXPECT_EQ(t.m[7], 3.0f);
    m.ToTranspose();
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(m.m[i], t.m[i]);
}

TEST(Matrix3x3, Product) {
    const Matrix3x3 a(1, 2, 0, 0, 1, 0, 0, 0, 2);
    const Matrix3x3 b(1, 0, 0, 3, 1, 0, 0, 0, 1);
    const Matrix3x3 p = a * b;
    const float expected[9] = {7, 2, 0, 3, 1, 0, 0, 0, 2};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(p.m[i], expected[i]) << i;
}

TEST(Matrix4x4, AccessorsFollowTheRowLayout) {
    Matrix4x4 m = Counting();
    ExpectNear(m.GetVectorZ(), Vector3f(2, 6, 10));
    ExpectNear(m.GetVectorX(), Vector3f(0, 4, 8));
    ExpectNear(m.GetTranslation(), Vector3f(12, 13, 14));
    EXPECT_EQ(m.GetTranslation4f().w, 15.0f);
    const Matrix3x3 r = m.GetRotation();
    EXPECT_EQ(r.m[3], 4.0f);
    EXPECT_EQ(r.m[8], 10.0f);

    m.SetRotation(Matrix3x3::Identity);
    m.SetTranslation(Vector3f(7, 8, 9));
    const float expected[16] = {1, 0, 0, 3, 0, 1, 0, 7, 0, 0, 1, 11, 7, 8, 9, 15};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m.m[i], expected[i]) << i;

    Matrix4x4 t = Counting();
    t.ToTranspose();
    EXPECT_EQ(t.m[1], 4.0f);
    EXPECT_EQ(t.m[12], 3.0f);
    EXPECT_EQ(t.m[15], 15.0f);
}

TEST(Matrix4x4, ProductAndPointTransform) {
    Matrix4x4 translate = Matrix4x4::Identity;
    translate.ToTranslation(Vector3f(1, 2, 3));
    Matrix4x4 rotate = Matrix4x4::Identity;
    rotate.ToZRot(kHalfPi);
    // Translate first, then rotate: (1,0,0) -> (2,2,3) -> (-2,2,3).
    ExpectNear(Vector3f(1, 0, 0) * (translate * rotate), Vector3f(-2, 2, 3));
    ExpectNear(Vector3f(1, 0, 0) * (rotate * translate), Vector3f(1, 3, 3));
    const Matrix4x4 p = Counting() * Counting();
    EXPECT_EQ(p.m[0], 56.0f);   // 0*0 + 1*4 + 2*8 + 3*12
    EXPECT_EQ(p.m[15], 506.0f); // 12*3 + 13*7 + 14*11 + 15*15
}
