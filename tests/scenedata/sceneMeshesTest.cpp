#include "tools/generators/sceneMeshes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using engine::math::Vector3f;
using kovra::tools::MeshModel;

namespace {

// The face normal the engine generates for triangle t, and its middle.
Vector3f FaceNormal(const MeshModel& mesh, std::size_t t) {
    const Vector3f& a = mesh.positions[mesh.indices[t * 3]];
    const Vector3f& b = mesh.positions[mesh.indices[t * 3 + 1]];
    const Vector3f& c = mesh.positions[mesh.indices[t * 3 + 2]];
    return (b - a) ^ (c - a);
}

Vector3f FaceMiddle(const MeshModel& mesh, std::size_t t) {
    return (mesh.positions[mesh.indices[t * 3]] + mesh.positions[mesh.indices[t * 3 + 1]] +
            mesh.positions[mesh.indices[t * 3 + 2]]) *
           (1.0f / 3.0f);
}

void ExpectWellFormed(const MeshModel& mesh) {
    ASSERT_FALSE(mesh.indices.empty());
    EXPECT_EQ(mesh.indices.size() % 3, 0u);
    EXPECT_EQ(mesh.normals.size(), mesh.positions.size());
    EXPECT_EQ(mesh.texCoords.size(), mesh.positions.size());
    for (const std::uint32_t index : mesh.indices)
        ASSERT_LT(index, mesh.VertexCount());
}

} // namespace

TEST(SceneMeshes, WaterIsAFlatPlaneAtZeroCoveringTheLandAndBeyond) {
    const MeshModel water = kovra::tools::WaterPlane();
    ExpectWellFormed(water);
    float low = 0.0f, high = 0.0f;
    for (const Vector3f& p : water.positions) {
        // Exactly the level the reflection mirrors about.
        ASSERT_EQ(p.y, 0.0f);
        low = std::min({low, p.x, p.z});
        high = std::max({high, p.x, p.z});
    }
    EXPECT_LE(low, -300.0f);
    EXPECT_GE(high, 300.0f);
    for (const Vector3f& n : water.normals)
        EXPECT_EQ(n, Vector3f(0, 1, 0));
    for (std::size_t t = 0; t < water.indices.size() / 3; ++t)
        ASSERT_GT(FaceNormal(water, t).y, 0.0f) << t;
    // Texture coordinates follow the ground, so that a texture tiles.
    EXPECT_NE(water.texCoords.front().x, water.texCoords.back().x);
}

TEST(SceneMeshes, SkyIsADomeAroundTheOriginFacingInwards) {
    const MeshModel sky = kovra::tools::SkyDome();
    ExpectWellFormed(sky);
    float lowest = 0.0f, highest = 0.0f;
    for (std::size_t i = 0; i < sky.positions.size(); ++i) {
        const Vector3f& p = sky.positions[i];
        EXPECT_NEAR(std::sqrt(p * p), 450.0f, 0.5f);
        EXPECT_LT(sky.normals[i] * p, 0.0f);
        const auto& uv = sky.texCoords[i];
        EXPECT_GE(uv.x, 0.0f);
        EXPECT_LE(uv.x, 1.0f);
        EXPECT_GE(uv.y, 0.0f);
        EXPECT_LE(uv.y, 1.0f);
        // v runs from the zenith (0) down to the horizon (1).
        if (p.y > 449.0f) {
            EXPECT_EQ(uv.y, 0.0f);
        }
        if (p.y <= 0.0f) {
            EXPECT_EQ(uv.y, 1.0f);
        }
        lowest = std::min(lowest, p.y);
        highest = std::max(highest, p.y);
    }
    EXPECT_GT(highest, 449.0f);
    // A skirt 60 degrees below the horizon: low cameras look past the
    // water's far edge and the far plane, and must see sky colour there.
    EXPECT_LT(lowest, -0.85f * 450.0f);
    std::size_t faces = sky.indices.size() / 3;
    for (std::size_t t = 0; t < faces; ++t) {
        const Vector3f n = FaceNormal(sky, t);
        if (n * n > 1e-6f) {
            ASSERT_LT(n * FaceMiddle(sky, t), 0.0f) << t;
        }
    }
    // Round enough: at least 32 segments about the vertical.
    EXPECT_GE(faces, 32u * 16u);
}

TEST(SceneMeshes, BoulderIsClosedLumpyAndFacesOutwards) {
    const MeshModel rock = kovra::tools::Boulder();
    ExpectWellFormed(rock);
    Vector3f middle(0, 0, 0);
    for (const Vector3f& p : rock.positions)
        middle += p;
    middle = middle * (1.0f / static_cast<float>(rock.positions.size()));
    float nearest = 1e9f, farthest = 0.0f, lowest = 1e9f;
    for (const Vector3f& p : rock.positions) {
        const Vector3f d = p - middle;
        nearest = std::min(nearest, std::sqrt(d * d));
        farthest = std::max(farthest, std::sqrt(d * d));
        lowest = std::min(lowest, p.y);
    }
    EXPECT_GT(farthest / nearest, 1.3f);
    // Its foot lies below its origin, so that placed at ground height it
    // sinks into the ground.
    EXPECT_LT(lowest, -0.05f);
    for (std::size_t t = 0; t < rock.indices.size() / 3; ++t) {
        const Vector3f n = FaceNormal(rock, t);
        if (n * n > 1e-8f) {
            ASSERT_GT(n * (FaceMiddle(rock, t) - middle), 0.0f) << t;
        }
    }
}
