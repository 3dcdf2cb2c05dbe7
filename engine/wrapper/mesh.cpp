#include "engine/gfx/mesh.h"
#include "engine/core/log.h"
#include "engine/core/resourceManager.h"
#include "engine/gfx/geometry.h"
#include "engine/gfx/lodGeometry.h"
#include "engine/gfx/node.h"
#include "engine/wrapper/meshFunctions.h"

#include <cstring>
#include <string>

namespace engine {

namespace {

constexpr const char* kSource = ".\\wrapper.cpp";

// Frees the copies made so far if a later copy fails.
struct StreamCopies {
    gfx::MeshStreams streams;
    void* indices = nullptr;
    ~StreamCopies() {
        for (auto& [type, data] : streams)
            gfx::MeshData::Free(data);
        gfx::MeshData::Free(indices);
    }
};

} // namespace

std::shared_ptr<gfx::Mesh> CreateMesh(const std::map<gfx::MeshData::DataTypes, void*>& streams,
                                      int* indices, int vertexCount, int indexCount, int indexSize,
                                      std::shared_ptr<gfx::Effect> effect) {
    // Refused before any copy: these would make the copies read past the
    // caller's arrays or ask for absurd amounts of memory.
    if (vertexCount < 0 || indexCount < 0 || (indexSize != 2 && indexSize != 4) ||
        (indexCount > 0 && !indices))
        core::Logging::Get()->Error("Invalid mesh: " + std::to_string(vertexCount) + " vertices, " +
                                        std::to_string(indexCount) + " indices of " +
                                        std::to_string(indexSize) + " bytes",
                                    kSource, __LINE__);
    StreamCopies copies;
    for (const auto& [type, data] : streams) {
        switch (type) {
        case gfx::MeshData::Position:
        case gfx::MeshData::Normal:
        case gfx::MeshData::Tangent:
        case gfx::MeshData::Binormal:
        case gfx::MeshData::TexCoord:
            break;
        default:
            continue; // bone data cannot be given this way
        }
        if (!data) {
            // A present key without an array: the effect decides whether
            // normals are generated.
            if (type == gfx::MeshData::Normal)
                copies.streams[type] = nullptr;
            continue;
        }
        void* copy = gfx::MeshData::AllocateStream(type, static_cast<std::size_t>(vertexCount));
        if (!copy)
            core::Logging::Get()->Error("Out of memory copying a mesh stream", kSource, __LINE__);
        std::memcpy(copy, data,
                    static_cast<std::size_t>(vertexCount) * gfx::MeshData::ElementSize(type));
        copies.streams[type] = copy;
    }
    copies.indices = gfx::MeshData::AllocateIndices(static_cast<std::size_t>(indexCount),
                                                    static_cast<std::size_t>(indexSize));
    if (!copies.indices)
        core::Logging::Get()->Error("Out of memory copying mesh indices", kSource, __LINE__);
    if (indexCount > 0)
        std::memcpy(copies.indices, indices,
                    static_cast<std::size_t>(indexCount) * static_cast<std::size_t>(indexSize));

    auto mesh = std::make_shared<gfx::Mesh>(copies.streams, copies.indices, vertexCount, indexCount,
                                            indexSize, std::move(effect));
    copies.streams.clear();
    copies.indices = nullptr;
    core::ResourceManager::Get()->AddUnnamed(mesh);
    mesh->Create();
    return mesh;
}

std::shared_ptr<gfx::Node> CreateNode(gfx::Spatial* parent) {
    return std::make_shared<gfx::Node>(parent);
}

std::shared_ptr<gfx::Node> CreateMeshNode(std::shared_ptr<gfx::Mesh> mesh) {
    auto node = std::make_shared<gfx::Node>(nullptr);
    node->AddChild(std::make_shared<gfx::Geometry>(std::move(mesh), node.get()));
    return node;
}

std::shared_ptr<gfx::Node>
CreateLODMeshNode(const std::vector<std::pair<float, std::shared_ptr<gfx::Mesh>>>& levels) {
    auto node = std::make_shared<gfx::Node>(nullptr);
    node->AddChild(std::make_shared<gfx::LODGeometry>(levels, node.get()));
    return node;
}

} // namespace engine
