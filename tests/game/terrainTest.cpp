#include "game/grassTuft.h"
#include "game/landscape.h"
#include "game/materialWeights.h"
#include "game/randomTable.h"
#include "game/terrainShape.h"
#include "game/treePositions.h"

#include <gtest/gtest.h>

#include <cmath>

using engine::math::Vector3f;

namespace {

// The show's landscape, generated once for every test below.
class Terrain : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sLandscape = new Landscape(GenerateLandscape()); }
    static void TearDownTestSuite() { delete sLandscape; }
    static Landscape* sLandscape;
};
Landscape* Terrain::sLandscape = nullptr;

TEST(TerrainShape, HeightsOfTheNoiseExtremes) {
    const TerrainShape shape{TerrainConfig()};
    EXPECT_FLOAT_EQ(shape.FromNoise(0).shaped, 0.0f);
    EXPECT_NEAR(shape.FromNoise(0).height, -3.3f, 1e-5f);
    EXPECT_NEAR(shape.FromNoise(1).height, 106.7f, 0.02f);
    EXPECT_NEAR(shape.FbmMax(), (1 - std::pow(0.45, 6)) / 0.55, 1e-6);
}

TEST(TerrainShape, FbmSumsSixOctaves) {
    const TerrainShape shape{TerrainConfig()};
    double expected = 0;
    for (int i = 0; i < 6; ++i)
        expected += std::pow(0.45, i) * randomTable::noise(3.3 * (1 << i), 5.7 * (1 << i));
    EXPECT_NEAR(shape.Fbm(3.3, 5.7), expected, 1e-6);
}

TEST_F(Terrain, PatchCountsAndLayout) {
    const TerrainPatches& t = sLandscape->terrain;
    EXPECT_EQ(t.patchCount, 25);
    EXPECT_EQ(t.patchVertexCount, 441);
    EXPECT_EQ(t.patchIndexCount, 2400);
    EXPECT_EQ(t.positions.size(), 11025u);
    EXPECT_EQ(t.normals.size(), 11025u);
    EXPECT_EQ(t.texCoords.size(), 11025u);
    EXPECT_EQ(t.weights.size(), 11025u);
    EXPECT_EQ(t.indices.size(), 60000u);
    // Patch p = row * 5 + column; rows run along z, 21 vertices each.
    const Vector3f first = t.positions[0];
    EXPECT_FLOAT_EQ(first.x, -100.0f);
    EXPECT_FLOAT_EQ(first.z, -100.0f);
    const Vector3f last = t.positions.back();
    EXPECT_FLOAT_EQ(last.x, 100.0f);
    EXPECT_FLOAT_EQ(last.z, 100.0f);
    EXPECT_FLOAT_EQ(t.texCoords.back().x, 40.0f);
    EXPECT_FLOAT_EQ(t.texCoords.back().y, 40.0f);
    const Vector3f secondPatch = t.positions[441];
    EXPECT_FLOAT_EQ(secondPatch.x, -60.0f);
    EXPECT_FLOAT_EQ(secondPatch.z, -100.0f);
    // Borders are duplicated: patch 0's last column is patch 1's first.
    EXPECT_EQ(t.positions[20].y, t.positions[441].y);
    EXPECT_EQ(t.positions[440].y, t.positions[441 + 420].y);
}

TEST_F(Terrain, VerticesFollowTheShape) {
    const TerrainPatches& t = sLandscape->terrain;
    const TerrainShape shape{TerrainConfig()};
    // Patch 7 is row 1, column 2; its vertex (3, 5) is grid point (43, 25).
    const std::size_t v = 7 * 441 + 5 * 21 + 3;
    const TerrainShape::Sample s = shape.At(86, 50);
    EXPECT_FLOAT_EQ(t.positions[v].x, -14.0f);
    EXPECT_FLOAT_EQ(t.positions[v].z, -50.0f);
    EXPECT_FLOAT_EQ(t.positions[v].y, s.height);
    EXPECT_FLOAT_EQ(t.texCoords[v].x, 17.2f);
    EXPECT_FLOAT_EQ(t.texCoords[v].y, 10.0f);
    const Vector3f w = MaterialWeights(s.shaped);
    EXPECT_FLOAT_EQ(t.weights[v].x, w.x);
    EXPECT_FLOAT_EQ(t.weights[v].y, w.y);
    EXPECT_FLOAT_EQ(t.weights[v].z, w.z);
    // The normal comes from the neighbours toward +z and +x.
    const Vector3f p(-14, s.height, -50);
    const Vector3f towardZ = Vector3f(-14, shape.At(86, 52).height, -48) - p;
    const Vector3f towardX = Vector3f(-12, shape.At(88, 50).height, -50) - p;
    Vector3f n = towardZ ^ towardX;
    n.Normalize();
    EXPECT_NEAR(t.normals[v].x, n.x, 1e-6f);
    EXPECT_NEAR(t.normals[v].y, n.y, 1e-6f);
    EXPECT_NEAR(t.normals[v].z, n.z, 1e-6f);
}

TEST_F(Terrain, TrianglesFaceUpAndStayInTheirPatch) {
    const TerrainPatches& t = sLandscape->terrain;
    for (int p = 0; p < t.patchCount; ++p) {
        const int* indices = &t.indices[static_cast<std::size_t>(p) * 2400];
        const Vector3f* positions = &t.positions[static_cast<std::size_t>(p) * 441];
        for (int i = 0; i < 2400; i += 3) {
            ASSERT_GE(indices[i], 0);
            ASSERT_LT(indices[i], 441);
            ASSERT_LT(indices[i + 1], 441);
            ASSERT_LT(indices[i + 2], 441);
            // Direct3D front faces: (v1 - v0) x (v2 - v0) points at the viewer.
            const Vector3f& a = positions[indices[i]];
            const Vector3f face = (positions[indices[i + 1]] - a) ^ (positions[indices[i + 2]] - a);
            ASSERT_GT(face.y, 0.0f) << "patch " << p << " triangle " << i / 3;
        }
    }
}

TEST(GrassTuft, ThreeCurledSheets) {
    const GrassTuft tuft = MakeGrassTuft(TerrainConfig());
    ASSERT_EQ(tuft.positions.size(), 48u);
    ASSERT_EQ(tuft.texCoords.size(), 48u);
    ASSERT_EQ(tuft.indices.size(), 162u);
    // Sheet 0, row 0, column 0: a = -0.5, b = 0.
    EXPECT_FLOAT_EQ(tuft.positions[0].x, -1.25f);
    EXPECT_FLOAT_EQ(tuft.positions[0].y, 0.0f);
    EXPECT_NEAR(tuft.positions[0].z, 0.25f * 0.5f * 2.5f / 0.70710677f, 1e-6f);
    EXPECT_FLOAT_EQ(tuft.texCoords[0].y, 1.0f);
    // Row 3, column 3: the top right corner, one quarter across the texture.
    EXPECT_NEAR(tuft.positions[15].y, 0.9f, 1e-6f);
    EXPECT_NEAR(tuft.positions[15].z, 0.75f * 0.5f * 2.5f / 0.70710677f, 1e-6f);
    EXPECT_FLOAT_EQ(tuft.texCoords[15].x, 0.25f);
    EXPECT_FLOAT_EQ(tuft.texCoords[15].y, 0.0f);
    // Sheet 1 is sheet 0 turned by pi / 3 about the vertical.
    const Vector3f a = tuft.positions[3];
    const Vector3f b = tuft.positions[19];
    const float c = std::cos(3.14159265f / 3), s = std::sin(3.14159265f / 3);
    EXPECT_NEAR(b.x, a.x * c + a.z * s, 1e-5f);
    EXPECT_NEAR(b.y, a.y, 1e-6f);
    EXPECT_NEAR(b.z, -a.x * s + a.z * c, 1e-5f);
    for (int index : tuft.indices)
        EXPECT_LT(index, 48);
}

TEST_F(Terrain, GrassGrowsOnlyOnGrass) {
    const std::vector<GrassBatch>& grass = sLandscape->grass;
    ASSERT_FALSE(grass.empty());
    EXPECT_LE(grass.size(), 25u);
    const TerrainShape shape{TerrainConfig()};
    for (const GrassBatch& batch : grass) {
        ASSERT_GT(batch.VertexCount(), 0);
        EXPECT_TRUE(batch.normals.empty());
        EXPECT_EQ(batch.VertexCount() % 48, 0);
        EXPECT_EQ(batch.IndexCount(), batch.VertexCount() / 48 * 162);
        EXPECT_EQ(batch.texCoords.size(), batch.positions.size());
        for (int index : batch.indices)
            ASSERT_LT(index, batch.VertexCount());
        // A tuft's bottom row stands on grassy ground; the row reaches less
        // than a unit from the tuft's centre.
        for (int tuft = 0; tuft < batch.VertexCount() / 48; tuft += 37) {
            const Vector3f root = batch.positions[tuft * 48 + 1];
            const TerrainShape::Sample ground = shape.At(root.x + 100, root.z + 100);
            EXPECT_NEAR(root.y, ground.height, 0.5f);
            EXPECT_GE(MaterialWeights(ground.shaped).y, 0.2f);
        }
    }
}

TEST(TreePositions, AcceptanceIncludesBothBandEdges) {
    EXPECT_TRUE(AcceptsTree(0.05f));
    EXPECT_TRUE(AcceptsTree(0.1f));
    EXPECT_TRUE(AcceptsTree(0.075f));
    EXPECT_FALSE(AcceptsTree(std::nextafter(0.05f, 0.0f)));
    EXPECT_FALSE(AcceptsTree(std::nextafter(0.1f, 1.0f)));
    // w2 = 0.04 is half sand: neither grass nor a tree.
    EXPECT_FALSE(AcceptsTree(0.04f));
}

TEST_F(Terrain, TreesStandOnTheGrassBand) {
    const std::vector<Vector3f>& trees = sLandscape->trees;
    ASSERT_FALSE(trees.empty());
    EXPECT_LE(trees.size(), 31u * 31u);
    const TerrainShape shape{TerrainConfig()};
    for (const Vector3f& p : trees) {
        // Heights of the band: (0.05 - 0.03) * 110 to (0.1 - 0.03) * 110.
        EXPECT_GE(p.y, 2.2f - 1e-4f);
        EXPECT_LE(p.y, 7.7f + 1e-4f);
        EXPECT_NEAR(shape.At(p.x + 100, p.z + 100).height, p.y, 1e-3f);
    }
}

} // namespace
