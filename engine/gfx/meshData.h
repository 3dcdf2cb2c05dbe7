#pragma once

#include "engine/engineApi.h"

#include <cstddef>
#include <cstdint>

namespace engine::gfx {

/// Keys of a mesh's per-vertex arrays. Every array holds one element per
/// vertex and is allocated with AllocateStream, so that the mesh that takes
/// it over can free it.
struct ENGINE_API MeshData {
    enum DataTypes : int {
        Position = 0,    ///< Vector3f
        Normal = 1,      ///< Vector3f
        TexCoord = 2,    ///< Vector2f
        Tangent = 3,     ///< Vector3f, tangent-space x axis
        Binormal = 4,    ///< Vector3f, tangent-space y axis
        BoneIndices = 6, ///< 4 x uint8
        BoneWeights = 7, ///< 4 x float
    };

    /// Bytes of one element; 0 for a key no stream uses.
    static std::size_t ElementSize(DataTypes type);
    /// Zero-filled array of count elements; null when the size overflows or
    /// memory runs out.
    static void* AllocateStream(DataTypes type, std::size_t count);
    /// Zero-filled array of count indices of indexSize bytes each.
    static void* AllocateIndices(std::size_t count, std::size_t indexSize);
    /// Frees an array from AllocateStream or AllocateIndices; null is fine.
    static void Free(void* data);
};

} // namespace engine::gfx
