#include "engine/gfx/meshData.h"

#include <cstdlib>

namespace engine::gfx {

std::size_t MeshData::ElementSize(DataTypes type) {
    switch (type) {
    case Position:
    case Normal:
    case Tangent:
    case Binormal:
        return 12;
    case TexCoord:
        return 8;
    case BoneIndices:
        return 4;
    case BoneWeights:
        return 16;
    }
    return 0;
}

// calloc refuses a count whose byte size overflows instead of wrapping.
void* MeshData::AllocateStream(DataTypes type, std::size_t count) {
    const std::size_t size = ElementSize(type);
    if (size == 0)
        return nullptr;
    return std::calloc(count == 0 ? 1 : count, size);
}

void* MeshData::AllocateIndices(std::size_t count, std::size_t indexSize) {
    return std::calloc(count == 0 ? 1 : count, indexSize == 0 ? 1 : indexSize);
}

void MeshData::Free(void* data) {
    std::free(data);
}

} // namespace engine::gfx
