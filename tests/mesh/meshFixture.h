#pragma once

#include "engine/core/exception.h"
#include "engine/core/graphicsDevice.h"
#include "engine/core/resourceManager.h"
#include "engine/core/stringConversion.h"
#include "engine/gfx/effect.h"
#include "engine/gfx/mesh.h"
#include "engine/math/vector2f.h"
#include "engine/platform/recordingDevice.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace kovra::test {

using engine::gfx::MeshData;
using engine::math::Vector2f;
using engine::math::Vector3f;

// A mesh that tests can fill like the file loader does and build for any
// set of stream kinds.
class TestMesh : public engine::gfx::Mesh {
public:
    using Mesh::Build;
    using Mesh::Mesh;
    void Fill(const engine::gfx::MeshStreams& streams, void* indices, int vertexCount,
              int indexCount, int indexSize, std::shared_ptr<engine::gfx::Effect> effect) {
        mStreams = streams;
        mIndices = indices;
        mVertexCount = vertexCount;
        mIndexCount = indexCount;
        mIndexSize = indexSize;
        mEffect = std::move(effect);
    }
    void SetSkeleton(std::shared_ptr<engine::gfx::BoneAnimation> skeleton, int boneCount) {
        mBoneAnimation = std::move(skeleton);
        mBoneCount = boneCount;
    }
};

// The arrays of a mesh to be; Make copies them into mesh-owned streams.
struct MeshInput {
    std::wstring name = L"data/test.kvr";
    std::vector<Vector3f> positions;
    std::vector<Vector3f> normals;
    std::vector<Vector3f> tangents;
    std::vector<Vector3f> binormals;
    std::vector<Vector2f> uvs;
    std::vector<std::array<float, 4>> weights;
    std::vector<std::array<std::uint8_t, 4>> boneIndices;
    std::vector<std::uint32_t> indices;
    int indexSize = 4;
    int vertexCount = -1; // -1: the number of positions
    std::shared_ptr<engine::gfx::Effect> effect = std::make_shared<engine::gfx::Effect>();

    template <class T>
    static void Add(engine::gfx::MeshStreams& streams, MeshData::DataTypes type,
                    const std::vector<T>& data) {
        if (data.empty())
            return;
        void* copy = MeshData::AllocateStream(type, data.size());
        std::memcpy(copy, data.data(), data.size() * sizeof(T));
        streams[type] = copy;
    }

    std::shared_ptr<TestMesh> Make() const {
        engine::gfx::MeshStreams streams;
        Add(streams, MeshData::Position, positions);
        Add(streams, MeshData::Normal, normals);
        Add(streams, MeshData::Tangent, tangents);
        Add(streams, MeshData::Binormal, binormals);
        Add(streams, MeshData::TexCoord, uvs);
        Add(streams, MeshData::BoneWeights, weights);
        Add(streams, MeshData::BoneIndices, boneIndices);
        void* data = MeshData::AllocateIndices(indices.size(), static_cast<std::size_t>(indexSize));
        for (std::size_t i = 0; i < indices.size(); ++i) {
            if (indexSize == 2) {
                const auto value = static_cast<std::uint16_t>(indices[i]);
                std::memcpy(static_cast<char*>(data) + i * 2, &value, 2);
            } else {
                std::memcpy(static_cast<char*>(data) + i * 4, &indices[i], 4);
            }
        }
        auto mesh = std::make_shared<TestMesh>(name);
        mesh->Fill(streams, data,
                   vertexCount >= 0 ? vertexCount : static_cast<int>(positions.size()),
                   static_cast<int>(indices.size()), indexSize, effect);
        return mesh;
    }
};

// A fresh log and resource manager, and a recording device as the engine's.
class MeshTest : public ::testing::Test {
protected:
    MeshTest() { engine::core::SetGraphicsDevice(&device); }
    ~MeshTest() override {
        delete engine::core::ResourceManager::mInstance;
        engine::core::SetGraphicsDevice(nullptr);
    }

    // The log rows so far with their line numbers blanked.
    std::string Rows() {
        return std::regex_replace(log.Rows(), std::regex("<td>[0-9]+</td>"), "<td>#</td>");
    }

    LogCapture log;
    engine::platform::RecordingDevice device;
};

inline std::string Row(const std::string& level, const std::string& file, const std::string& text) {
    const std::string opener = level == "MESSAGE"   ? "<tr>"
                               : level == "WARNING" ? "<tr class=\"warning\">"
                                                    : "<tr class=\"error\">";
    return opener + "<td>" + level + "</td><td>#</td><td>" + file + "</td><td>" + text +
           "</td></tr>\r\n";
}

// The text of the engine exception that f raises.
template <class F> std::string ErrorOf(F&& f) {
    try {
        f();
    } catch (const engine::core::Exception& e) {
        return engine::core::Narrow(e.GetText());
    }
    return "<no error>";
}

inline void ExpectNear(const Vector3f& actual, const Vector3f& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

inline const Vector3f* Vectors(const engine::gfx::Mesh& mesh, MeshData::DataTypes type) {
    return static_cast<const Vector3f*>(mesh.GetStream(type));
}

} // namespace kovra::test
