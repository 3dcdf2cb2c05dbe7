#include "engine/math/plane3f.h"

#include <gtest/gtest.h>

using engine::math::Plane3f;
using engine::math::Vector3f;

TEST(Plane3f, FromThreePoints) {
    const Plane3f p(Vector3f(0, 0, 0), Vector3f(1, 0, 0), Vector3f(0, 1, 0));
    EXPECT_FLOAT_EQ(p.normal.x, 0.0f);
    EXPECT_FLOAT_EQ(p.normal.y, 0.0f);
    EXPECT_FLOAT_EQ(p.normal.z, 1.0f);
    EXPECT_FLOAT_EQ(p.d, 0.0f);
    const Plane3f q(Vector3f(0, 0, 5), Vector3f(2, 0, 5), Vector3f(0, 2, 5));
    EXPECT_FLOAT_EQ(q.normal.z, 1.0f);
    EXPECT_FLOAT_EQ(q.d, -5.0f);
}

TEST(Plane3f, NormalAndPointKeepsTheNormalsLength) {
    const Plane3f p(Vector3f(0, 2, 0), Vector3f(1, 3, 1));
    EXPECT_FLOAT_EQ(p.normal.y, 2.0f);
    EXPECT_FLOAT_EQ(p.d, -6.0f);
}

TEST(Plane3f, TestPointUsesTheTolerance) {
    const Plane3f p(0, 0, 1, -1);
    EXPECT_EQ(p.TestPoint(Vector3f(5, 5, 1.0005f)), Plane3f::OnPlane);
    EXPECT_EQ(p.TestPoint(Vector3f(5, 5, 0.9995f)), Plane3f::OnPlane);
    EXPECT_EQ(p.TestPoint(Vector3f(0, 0, 1.002f)), Plane3f::Front);
    EXPECT_EQ(p.TestPoint(Vector3f(0, 0, 0.998f)), Plane3f::Back);
    EXPECT_EQ(Plane3f::Spanning, 3);
}

TEST(Plane3f, SplitFindsTheCrossing) {
    const Plane3f p(0, 1, 0, -2);
    const Vector3f s = p.Split(Vector3f(0, 0, 0), Vector3f(4, 8, 0));
    EXPECT_FLOAT_EQ(s.x, 1.0f);
    EXPECT_FLOAT_EQ(s.y, 2.0f);
}

TEST(Plane3f, SphereTest) {
    const Plane3f p(0, 0, 1, 0);
    EXPECT_EQ(TestSphere(1.0f, Vector3f(0, 0, 1.5f), p), Plane3f::Front);
    EXPECT_EQ(TestSphere(1.0f, Vector3f(0, 0, -1.5f), p), Plane3f::Back);
    EXPECT_EQ(TestSphere(1.0f, Vector3f(0, 0, 0.5f), p), Plane3f::Spanning);
    EXPECT_EQ(TestSphere(1.0f, Vector3f(0, 0, 1.0f), p), Plane3f::Spanning);
}
