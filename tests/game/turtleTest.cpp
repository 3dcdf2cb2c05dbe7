#include "game/turtle.h"
#include "game/branchCurve.h"
#include "game/lSystem.h"
#include "game/randomTable.h"

#include <gtest/gtest.h>

#include <cmath>

using engine::math::Vector3f;

namespace {

class Turtle : public ::testing::Test {
protected:
    static void SetUpTestSuite() { randomTable::Fill(); }

    static float Step(std::uint32_t i) {
        return 0.25f + (randomTable::random01(i + 13337) - 0.5f) * 0.1f;
    }
    static float Angle(std::uint32_t i) {
        return 0.31415927f + (randomTable::random01(i) - 0.5f) * 2.0f * 3.14159265f * 0.07f;
    }
};

void ExpectNear(const Vector3f& a, const Vector3f& b, float tolerance = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST_F(Turtle, TheAxiomGivesATwoStepTrunkAndTwoSinglePointBranches) {
    const auto path = nature::Walk(nature::kAxiom, 0);
    ASSERT_EQ(path->branches.size(), 3u);
    const nature::Branch& trunk = path->branches[0];
    ASSERT_EQ(trunk.points.size(), 3u);
    ExpectNear(trunk.points[0].position, Vector3f(0, 0, 0));
    ExpectNear(trunk.points[1].position, Vector3f(0, Step(1), 0));
    EXPECT_EQ(path->branches[1].points.size(), 1u);
    EXPECT_EQ(path->branches[2].points.size(), 1u);
    EXPECT_EQ(path->branches[1].parent, 0);
    EXPECT_EQ(path->branches[1].parentPoint, 1);
    ExpectNear(path->branches[1].points[0].position, trunk.points[1].position);
}

TEST_F(Turtle, StepsAndTurnsDrawAtTheSeedPlusTheSymbolIndex) {
    const std::uint32_t seed = 379;
    const auto path = nature::Walk("+F", seed);
    const float a = Angle(seed);
    const Vector3f heading(-std::sin(a), std::cos(a), 0); // (0, 1, 0) * RotZ(a)
    ExpectNear(path->branches[0].points[1].position, heading * Step(seed + 1));
    // '&' turns about the world x axis: (0, 1, 0) * RotX(a) leans toward -z.
    const auto leaning = nature::Walk("&F", seed);
    const float b = Angle(seed);
    ExpectNear(leaning->branches[0].points[1].position,
               Vector3f(0, std::cos(b), -std::sin(b)) * Step(seed + 1));
}

TEST_F(Turtle, TheBarReversesTheHorizontalHeading) {
    const Vector3f plain = nature::Walk("&XF", 5)->branches[0].points[1].position;
    const Vector3f turned = nature::Walk("&|F", 5)->branches[0].points[1].position;
    ASSERT_GT(std::fabs(plain.z), 0.01f);
    ExpectNear(turned, Vector3f(-plain.x, plain.y, -plain.z));
}

TEST_F(Turtle, BracketsRestoreTheStateAndRadiiTaper) {
    const auto path = nature::Walk("F[+F]F", 0);
    ASSERT_EQ(path->branches.size(), 2u);
    const nature::Branch& trunk = path->branches[0];
    const nature::Branch& side = path->branches[1];
    ASSERT_EQ(trunk.points.size(), 3u);
    ASSERT_EQ(side.points.size(), 2u);
    // After ']' the trunk goes on straight up from where it branched.
    ExpectNear(trunk.points[2].position, Vector3f(0, Step(0) + Step(5), 0));
    const float tip = trunk.points[2].arc;
    EXPECT_NEAR(tip, Step(0) + Step(5), 1e-5f);
    EXPECT_FLOAT_EQ(trunk.points[0].radius, 1.0f);
    EXPECT_NEAR(trunk.points[1].radius, Step(5) / tip, 1e-5f);
    EXPECT_FLOAT_EQ(trunk.points[2].radius, 0.0f);
    // The side branch continues the trunk's arc and starts with the trunk's
    // radius times its remaining share.
    EXPECT_NEAR(side.startArc, Step(0), 1e-6f);
    EXPECT_NEAR(side.points[0].radius, (tip - Step(0)) / tip, 1e-5f);
    EXPECT_FLOAT_EQ(side.points[1].radius, 0.0f);
    EXPECT_NEAR(side.Length(), Step(3), 1e-5f);
}

TEST_F(Turtle, UnmatchedClosingBracketsAreIgnored) {
    const auto path = nature::Walk("]]F", 0);
    EXPECT_EQ(path->branches.size(), 1u);
    EXPECT_EQ(path->branches[0].points.size(), 2u);
}

nature::Branch StraightBranch(int points) {
    nature::Branch branch;
    for (int i = 0; i < points; ++i)
        branch.points.push_back({Vector3f(0, 0.5f * i, 0), Vector3f(), 0, 0, 0});
    return branch;
}

TEST(BranchCurve, StraightBranchesStayStraight) {
    nature::Branch branch = StraightBranch(4);
    for (std::size_t i = 0; i < 4; ++i) {
        branch.points[i].arc = 0.5f * i;
        branch.points[i].segmentLength = i < 3 ? 0.5f : 0.0f;
        branch.points[i].radius = 1.0f - i / 3.0f;
    }
    nature::Smooth(branch);
    for (const nature::BranchPoint& p : branch.points) {
        EXPECT_NEAR(p.tangent.x, 0, 1e-6f);
        EXPECT_GT(p.tangent.y, 0);
    }
    const nature::CurvePoint c = nature::Evaluate(branch, 0.75f);
    EXPECT_NEAR(c.position.x, 0, 1e-6f);
    EXPECT_NEAR(c.position.y, 0.75f, 1e-6f);
    ExpectNear(c.direction, Vector3f(0, 1, 0));
    EXPECT_NEAR(c.radius, 0.5f, 1e-6f);
    EXPECT_FALSE(nature::HasDegenerateStart(branch));
}

TEST(BranchCurve, InnerTangentsAverageTheirNeighbours) {
    // A right angle: (0,0,0) -> (1,0,0) -> (1,1,0).
    nature::Branch branch;
    branch.points = {{Vector3f(0, 0, 0), Vector3f(), 1, 0, 1},
                     {Vector3f(1, 0, 0), Vector3f(), 1, 1, 0.5f},
                     {Vector3f(1, 1, 0), Vector3f(), 0, 2, 0}};
    nature::Smooth(branch);
    // Initial inner tangent (0,1,0) - (-1,0,0) = (1,1,0); the ends copy it
    // and every relaxation pass averages equal neighbours: it stays.
    ExpectNear(branch.points[1].tangent, Vector3f(1, 1, 0));
    ExpectNear(branch.points[0].tangent, Vector3f(1, 1, 0));
    // Hermite ends: the curve passes through the points.
    ExpectNear(nature::Evaluate(branch, 1.0f).position, Vector3f(1, 0, 0));
    ExpectNear(nature::Evaluate(branch, 2.0f).position, Vector3f(1, 1, 0));
    EXPECT_NEAR(nature::Evaluate(branch, 1.5f).radius, 0.25f, 1e-6f);
}

TEST(BranchCurve, AFoldedBackStartIsDegenerate) {
    nature::Branch branch;
    branch.points = {{Vector3f(0, 0, 0), Vector3f(), 1, 0, 1},
                     {Vector3f(0, 1, 0), Vector3f(), 1, 1, 0.5f},
                     {Vector3f(0, 0, 0), Vector3f(), 0, 2, 0}};
    nature::Smooth(branch);
    EXPECT_TRUE(nature::HasDegenerateStart(branch));
}

} // namespace
