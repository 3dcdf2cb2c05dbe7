#include "engine/gfx/transformation.h"

#include <gtest/gtest.h>

#include <numbers>

using engine::gfx::Transformation;
using engine::math::Matrix3x3;
using engine::math::Matrix4x4;
using engine::math::Vector3f;

namespace {

void ExpectMatrixNear(const Matrix4x4& actual, const Matrix4x4& expected) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.m[i], expected.m[i], 1e-6f) << "element " << i;
}

void ExpectNear(const Vector3f& actual, const Vector3f& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-6f);
    EXPECT_NEAR(actual.y, expected.y, 1e-6f);
    EXPECT_NEAR(actual.z, expected.z, 1e-6f);
}

Transformation QuarterTurnAndStep() {
    Matrix3x3 r = Matrix3x3::Identity;
    r.ToZRot(std::numbers::pi_v<float> / 2.0f);
    Transformation t;
    t.Rotate(r);
    t.Translate(Vector3f(1, 0, 0));
    return t;
}

} // namespace

TEST(Transformation, NewOneBuildsIdentityEverywhere) {
    const Transformation t;
    EXPECT_TRUE(t.IsIdentity());
    ExpectMatrixNear(t.BuildMatrix(), Matrix4x4::Identity);
    ExpectMatrixNear(t.BuildReverseMatrix(), Matrix4x4::Identity);
    ExpectMatrixNear(t.BuildInvMatrix(), Matrix4x4::Identity);
    ExpectMatrixNear(t.BuildReverseInvMatrix(), Matrix4x4::Identity);
}

TEST(Transformation, BuildersAndTheirInverses) {
    const Transformation t = QuarterTurnAndStep();
    EXPECT_FALSE(t.IsIdentity());
    const Vector3f forward = Vector3f(1, 0, 0) * t.BuildMatrix();
    const Vector3f reverse = Vector3f(1, 0, 0) * t.BuildReverseMatrix();
    ExpectNear(forward, Vector3f(1, 1, 0));
    ExpectNear(reverse, Vector3f(0, 2, 0));
    ExpectNear(forward * t.BuildInvMatrix(), Vector3f(1, 0, 0));
    ExpectNear(reverse * t.BuildReverseInvMatrix(), Vector3f(1, 0, 0));
    // Row 3 of the reverse matrix is translation * rotation.
    ExpectNear(t.BuildReverseMatrix().GetTranslation(), Vector3f(0, 1, 0));
}

TEST(Transformation, InvertSwapsTheBuilders) {
    Transformation t = QuarterTurnAndStep();
    const Matrix4x4 reverseInv = t.BuildReverseInvMatrix();
    const Matrix4x4 inv = t.BuildInvMatrix();
    const Matrix4x4 original = t.BuildMatrix();
    t.Invert();
    EXPECT_FALSE(t.IsIdentity());
    ExpectMatrixNear(t.BuildMatrix(), reverseInv);
    ExpectMatrixNear(t.BuildReverseMatrix(), inv);
    t.Invert();
    ExpectMatrixNear(t.BuildMatrix(), original);

    Transformation identity;
    identity.Invert();
    EXPECT_TRUE(identity.IsIdentity());
    ExpectNear(identity.Translate(), Vector3f(0, 0, 0));
}

TEST(Transformation, FlagIsNotRecomputedFromValues) {
    Transformation t;
    t.Translate(Vector3f(0, 0, 0));
    EXPECT_FALSE(t.IsIdentity());
    ExpectMatrixNear(t.BuildMatrix(), Matrix4x4::Identity);
    ExpectMatrixNear(t.BuildReverseInvMatrix(), Matrix4x4::Identity);

    Transformation r;
    r.Rotate(Matrix3x3::Identity);
    EXPECT_FALSE(r.IsIdentity());

    Transformation moved = QuarterTurnAndStep();
    moved.Identity();
    EXPECT_TRUE(moved.IsIdentity());
    ExpectNear(moved.Translate(), Vector3f(0, 0, 0));
    EXPECT_EQ(moved.Rotate().m[1], 0.0f);
    EXPECT_EQ(moved.Rotate().m[0], 1.0f);
}
