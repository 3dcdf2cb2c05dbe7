#pragma once

#include "engine/engineApi.h"
#include "engine/math/vector3f.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace engine::gfx {

/// A mesh's triangles kept in system memory for ray picking: positions and a
/// triangle list of 32-bit indices, every index checked against the
/// positions when the copy is made (a triangle that points past them is
/// left out: the mesh refuses such input before it gets here).
class ENGINE_API PickingMesh {
public:
    PickingMesh(std::vector<math::Vector3f> positions, std::vector<std::uint32_t> indices);

    /// Distance along direction to the nearest triangle the ray hits, front
    /// or back face; direction is expected to be of unit length so that the
    /// distance is one in space. Nothing for a miss.
    std::optional<float> Intersect(const math::Vector3f& origin,
                                   const math::Vector3f& direction) const;

    std::size_t FaceCount() const { return mIndices.size() / 3; }
    std::size_t VertexCount() const { return mPositions.size(); }

private:
    std::vector<math::Vector3f> mPositions;
    std::vector<std::uint32_t> mIndices;
};

} // namespace engine::gfx
