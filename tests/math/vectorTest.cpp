#include "engine/math/vector2f.h"
#include "engine/math/vector3f.h"
#include "engine/math/vector4f.h"

#include <gtest/gtest.h>

using engine::math::Vector2f;
using engine::math::Vector3f;
using engine::math::Vector4f;

TEST(Vector3f, CrossAndDotProducts) {
    const Vector3f c = Vector3f(1, 2, 3) ^ Vector3f(4, 5, 6);
    EXPECT_FLOAT_EQ(c.x, -3.0f);
    EXPECT_FLOAT_EQ(c.y, 6.0f);
    EXPECT_FLOAT_EQ(c.z, -3.0f);
    EXPECT_FLOAT_EQ(Vector3f(1, 2, 3) * Vector3f(4, 5, 6), 32.0f);
}

TEST(Vector3f, EqualityHasATolerance) {
    EXPECT_TRUE(Vector3f(1, 2, 3) == Vector3f(1, 2.0005f, 3));
    EXPECT_FALSE(Vector3f(1, 2, 3) == Vector3f(1, 2, 3.002f));
    EXPECT_FALSE(Vector3f(1, 2, 3) == Vector3f(0.998f, 2, 3));
}

TEST(Vector3f, ArithmeticAndLengths) {
    Vector3f v(3, 4, 12);
    EXPECT_FLOAT_EQ(v.MagSquared(), 169.0f);
    EXPECT_FLOAT_EQ(v.Mag(), 13.0f);
    EXPECT_FLOAT_EQ(v.AddComponents(), 19.0f);
    EXPECT_FLOAT_EQ(Vector3f::Dist(Vector3f(1, 1, 1), Vector3f(4, 5, 1)), 5.0f);
    const Vector3f n = -v;
    EXPECT_FLOAT_EQ(n.z, -12.0f);
    v.Invert();
    EXPECT_FLOAT_EQ(v.x, -3.0f);
    v.Normalize();
    EXPECT_NEAR(v.Mag(), 1.0f, 1e-6f);
    EXPECT_NEAR(v.y, -4.0f / 13.0f, 1e-6f);
    const float s = 2.0f;
    Vector3f w = Vector3f(1, 2, 3) * s + s * Vector3f(1, 0, 0) - Vector3f(0, 1, 0);
    EXPECT_FLOAT_EQ(w.x, 4.0f);
    EXPECT_FLOAT_EQ(w.y, 3.0f);
    EXPECT_FLOAT_EQ(w.z, 6.0f);
    w += Vector3f(1, 1, 1);
    w -= Vector3f(0, 0, 2);
    EXPECT_FLOAT_EQ(w.x, 5.0f);
    EXPECT_FLOAT_EQ(w.z, 5.0f);
    const Vector3f p = ComponentMul(Vector3f(1, 2, 3), Vector3f(2, 3, 4)) * 0.5;
    EXPECT_FLOAT_EQ(p.y, 3.0f);
    EXPECT_FLOAT_EQ(p.z, 6.0f);
}

TEST(Vector2f, LengthsAndNormalize) {
    Vector2f v;
    EXPECT_EQ(v.x, 0.0f);
    v.Assign(3, 4);
    EXPECT_FLOAT_EQ(v.Mag(), 5.0f);
    EXPECT_FLOAT_EQ(Vector2f::Dist(Vector2f(1, 1), Vector2f(4, 5)), 5.0f);
    v.Normalize();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    v.Invert();
    EXPECT_FLOAT_EQ(v.y, -0.8f);
}

TEST(Vector4f, UsesAllFourComponents) {
    Vector4f v(Vector3f(1, 1, 1), 1);
    EXPECT_FLOAT_EQ(v.Mag(), 2.0f);
    EXPECT_FLOAT_EQ(Vector4f::Dist(Vector4f(), Vector4f(0, 0, 0, 3)), 3.0f);
    v.Normalize();
    EXPECT_FLOAT_EQ(v.w, 0.5f);
    EXPECT_FLOAT_EQ(v.x, 0.5f);
    v += Vector4f(1, 2, 3, 4) * 2.0f;
    EXPECT_FLOAT_EQ(v.w, 8.5f);
    const Vector4f p = ComponentMul(Vector4f(1, 2, 3, 4), Vector4f(4, 3, 2, 1));
    EXPECT_FLOAT_EQ(p.z, 6.0f);
    EXPECT_FLOAT_EQ(p.w, 4.0f);
}
