#pragma once

#include "engine/gfx/animReader.h"
#include "engine/gfx/meshData.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace engine::gfx {

// Frees an array from MeshData's allocators.
struct MeshArrayDeleter {
    void operator()(void* data) const { MeshData::Free(data); }
};
using MeshArray = std::unique_ptr<void, MeshArrayDeleter>;

// What a ".kvr" file holds, read and checked but not yet a mesh.
struct KvrContents {
    struct Stream {
        MeshArray data;
        std::size_t count = 0;
    };

    std::vector<std::string> names;
    std::map<MeshData::DataTypes, Stream> streams;
    // Always 32-bit: 16-bit indices are widened on reading.
    MeshArray indices;
    std::int32_t vertexCount = 0;
    std::int32_t indexCount = 0;
    // Set by a skeleton chunk.
    bool skinned = false;
    std::int32_t boneCount = 0;
    // In index order, parents resolved.
    std::vector<BoneRecord> bones;
};

// Reads the bytes of the ".kvr" file `name`. Errors name the file: a wrong
// magic, a file that ends before its end chunk or whose counts and sizes
// run past its end, an index size below 2, a stream or skin whose element
// count differs from the vertex count, and a parent or skin bone name that
// names no bone of the skeleton.
KvrContents ReadKvr(const std::string& name, std::string_view bytes);

} // namespace engine::gfx
