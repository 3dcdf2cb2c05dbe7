#pragma once

#include "engine/math/vector2f.h"
#include "engine/math/vector3f.h"

#include <vector>

// Plain vertex streams and 32-bit triangle-list indices of one generated
// mesh, ready for CreateMesh: positions are stream 0, normals stream 1 (an
// empty array means none: pass a null pointer), texture coordinates stream 2.
struct MeshArrays {
    std::vector<engine::math::Vector3f> positions;
    std::vector<engine::math::Vector3f> normals;
    std::vector<engine::math::Vector2f> texCoords;
    std::vector<int> indices;

    int VertexCount() const { return static_cast<int>(positions.size()); }
    int IndexCount() const { return static_cast<int>(indices.size()); }
};
