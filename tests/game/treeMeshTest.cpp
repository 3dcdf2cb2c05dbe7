#include "game/branchCurve.h"
#include "game/randomTable.h"
#include "game/treeBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using engine::math::Vector2f;
using engine::math::Vector3f;

namespace {

class TreeMesh : public ::testing::Test {
protected:
    static void SetUpTestSuite() { randomTable::Fill(); }
};

// A vertical branch from the origin, one unit long, radius 1 tapering to 0.
nature::TurtlePath Pole() {
    nature::Branch branch;
    for (int i = 0; i <= 4; ++i)
        branch.points.push_back(
            {Vector3f(0, 0.25f * i, 0), Vector3f(), 0.25f, 0.25f * i, 1.0f - 0.25f * i});
    branch.points.back().segmentLength = 0;
    nature::Smooth(branch);
    nature::TurtlePath path;
    path.branches.push_back(branch);
    return path;
}

nature::TreeParameters PoleParameters() {
    nature::TreeParameters p;
    p.tubeScale = 0.1f;
    p.sides = 4;
    p.leafGrid = 3;
    p.ringSpacing = 0.25f;
    p.leafThreshold = 0.03f;
    p.leafSpacing = 0.25f;
    return p;
}

template <typename T> void ExpectSame(const std::vector<T>& a, const std::vector<T>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        ASSERT_TRUE(std::memcmp(&a[i], &b[i], sizeof(T)) == 0) << i;
}

void ExpectSame(const MeshArrays& a, const MeshArrays& b) {
    ExpectSame(a.positions, b.positions);
    ExpectSame(a.normals, b.normals);
    ExpectSame(a.texCoords, b.texCoords);
    ExpectSame(a.indices, b.indices);
}

TEST_F(TreeMesh, RingsAlongAPole) {
    const nature::TreeMesh mesh = nature::MeshTree(Pole(), PoleParameters());
    const MeshArrays& wood = mesh.wood;
    // Five rings of five vertices (the seam twice), four sides per gap.
    ASSERT_EQ(wood.VertexCount(), 25);
    ASSERT_EQ(wood.IndexCount(), 4 * 4 * 6);
    ASSERT_EQ(wood.normals.size(), 25u);
    for (int ring = 0; ring < 5; ++ring) {
        const float radius = 0.1f * (1.0f - 0.25f * ring);
        for (int k = 0; k < 5; ++k) {
            const Vector3f& p = wood.positions[ring * 5 + k];
            EXPECT_NEAR(p.y, 0.25f * ring, 1e-5f);
            EXPECT_NEAR(std::hypot(p.x, p.z), radius, 1e-5f);
            EXPECT_NEAR(wood.normals[ring * 5 + k].Mag(), 1.0f, 1e-5f);
            EXPECT_NEAR(wood.normals[ring * 5 + k].y, 0.0f, 1e-5f);
        }
        // The seam: first and last vertex of a ring coincide.
        EXPECT_NEAR(Vector3f::Dist(wood.positions[ring * 5], wood.positions[ring * 5 + 4]), 0,
                    1e-6f);
    }
    // Texture: u = k / sides on the first ring, 5 k / sides after; v runs to 5.
    EXPECT_FLOAT_EQ(wood.texCoords[2].x, 0.5f);
    EXPECT_FLOAT_EQ(wood.texCoords[2].y, 0.0f);
    EXPECT_FLOAT_EQ(wood.texCoords[7].x, 2.5f);
    EXPECT_FLOAT_EQ(wood.texCoords[7].y, 1.25f);
    EXPECT_FLOAT_EQ(wood.texCoords[24].x, 5.0f);
    EXPECT_FLOAT_EQ(wood.texCoords[24].y, 5.0f);
    // Triangles face outward (Direct3D front faces).
    for (int i = 0; i < wood.IndexCount(); i += 3) {
        const Vector3f& a = wood.positions[wood.indices[i]];
        const Vector3f& b = wood.positions[wood.indices[i + 1]];
        const Vector3f& c = wood.positions[wood.indices[i + 2]];
        const Vector3f centre = (a + b + c) * (1.0f / 3.0f);
        const Vector3f outward(centre.x, 0, centre.z);
        const Vector3f face = (b - a) ^ (c - a);
        if (face.MagSquared() > 1e-12f) { // the tip ring has radius 0
            EXPECT_GT(face * outward, 0.0f) << i / 3;
        }
    }
}

TEST_F(TreeMesh, LeavesGrowWhereTheBranchIsThin) {
    const nature::TreeMesh mesh = nature::MeshTree(Pole(), PoleParameters());
    // Scaled radii at 0, 0.25, .. 1 are 0.1, 0.075, 0.05, 0.025, 0: two
    // leaves, each two faces of 4 x 4 vertices and 3 x 3 cells.
    ASSERT_EQ(mesh.leaves.VertexCount(), 2 * 2 * 16);
    ASSERT_EQ(mesh.leaves.IndexCount(), 2 * 2 * 9 * 6);
    EXPECT_TRUE(mesh.leaves.normals.empty());
    // The first leaf's first vertex (a = b = 0) sits at the cup's rim, half a
    // unit down the branch from its place at height 0.75.
    EXPECT_NEAR(mesh.leaves.positions[0].y, 0.25f, 1e-5f);
    const Vector2f uv = mesh.leaves.texCoords[5];
    EXPECT_FLOAT_EQ(uv.x, 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(uv.y, 1.0f / 3.0f);
    // Both faces share positions and are wound oppositely.
    for (int v = 0; v < 16; ++v)
        EXPECT_EQ(std::memcmp(&mesh.leaves.positions[v], &mesh.leaves.positions[16 + v],
                              sizeof(Vector3f)),
                  0);
    const std::vector<int>& idx = mesh.leaves.indices;
    EXPECT_EQ(idx[0] + 16, idx[54]);
    EXPECT_EQ(idx[1] + 16, idx[56]);
    EXPECT_EQ(idx[2] + 16, idx[55]);
}

TEST_F(TreeMesh, ShortOrSinglePointBranchesAreNotMeshed) {
    nature::TreeParameters p = PoleParameters();
    p.ringSpacing = 1.0f; // not shorter than the pole
    EXPECT_EQ(nature::MeshTree(Pole(), p).wood.VertexCount(), 0);
    nature::TurtlePath single;
    single.branches.emplace_back();
    single.branches[0].points.push_back({});
    const nature::TreeMesh none = nature::MeshTree(single, PoleParameters());
    EXPECT_EQ(none.wood.VertexCount(), 0);
    EXPECT_EQ(none.leaves.VertexCount(), 0);
}

TEST_F(TreeMesh, BothLevelsOfDetailWalkTheSameBranches) {
    for (int v : {0, 3}) {
        const auto high = nature::GrowTree(nature::HighDetailTree(v).randomOffset);
        const auto low = nature::GrowTree(nature::LowDetailTree(v).randomOffset);
        ASSERT_EQ(high->branches.size(), low->branches.size());
        for (std::size_t b = 0; b < high->branches.size(); ++b) {
            ASSERT_EQ(high->branches[b].points.size(), low->branches[b].points.size());
            for (std::size_t i = 0; i < high->branches[b].points.size(); ++i)
                EXPECT_EQ(std::memcmp(&high->branches[b].points[i].position,
                                      &low->branches[b].points[i].position, sizeof(Vector3f)),
                          0);
        }
        // A variant grown once and meshed twice equals two separate builds.
        const nature::TreeVariant variant = nature::BuildTreeVariant(v);
        ExpectSame(variant.high.wood, nature::BuildTree(nature::HighDetailTree(v)).wood);
        ExpectSame(variant.low.wood, nature::BuildTree(nature::LowDetailTree(v)).wood);
        ExpectSame(variant.low.leaves, nature::BuildTree(nature::LowDetailTree(v)).leaves);
        EXPECT_LT(variant.low.wood.VertexCount(), variant.high.wood.VertexCount());
        EXPECT_GT(variant.high.leaves.VertexCount(), 0);
        EXPECT_GT(variant.low.leaves.VertexCount(), 0);
    }
}

TEST_F(TreeMesh, VariantsHaveValidIndicesAndDiffer) {
    const nature::TreeVariant a = nature::BuildTreeVariant(0);
    const nature::TreeVariant b = nature::BuildTreeVariant(1);
    EXPECT_FALSE(a.high.wood.VertexCount() == b.high.wood.VertexCount() &&
                 a.high.leaves.VertexCount() == b.high.leaves.VertexCount());
    for (const MeshArrays* m : {&a.high.wood, &a.high.leaves, &a.low.wood, &a.low.leaves}) {
        EXPECT_EQ(m->IndexCount() % 3, 0);
        EXPECT_EQ(m->texCoords.size(), m->positions.size());
        for (int index : m->indices)
            ASSERT_LT(static_cast<unsigned>(index), static_cast<unsigned>(m->VertexCount()));
    }
    EXPECT_EQ(a.high.wood.normals.size(), a.high.wood.positions.size());
}

TEST_F(TreeMesh, MeshesStopAtTheirElementLimit) {
    nature::TreeParameters p = nature::HighDetailTree(2);
    p.sides = 64;
    p.ringSpacing = 0.002f;
    p.leafSpacing = 0.0005f;
    const nature::TreeMesh mesh = nature::BuildTree(p);
    EXPECT_LE(mesh.wood.VertexCount(), nature::kMaxTreeElements);
    EXPECT_LE(mesh.wood.IndexCount(), nature::kMaxTreeElements);
    EXPECT_LE(mesh.leaves.VertexCount(), nature::kMaxTreeElements);
    EXPECT_LE(mesh.leaves.IndexCount(), nature::kMaxTreeElements);
    // The limit was reached, not avoided.
    EXPECT_GT(mesh.wood.IndexCount(), nature::kMaxTreeElements / 2);
    EXPECT_GT(mesh.leaves.IndexCount(), nature::kMaxTreeElements - 2 * 9 * 6 - 1);
}

} // namespace
