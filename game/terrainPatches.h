#pragma once

#include "terrainConfig.h"
#include "terrainShape.h"

#include "engine/math/vector2f.h"
#include "engine/math/vector3f.h"

#include <vector>

// The terrain as patches of (cells + 1)^2 vertices, patch borders duplicated.
// The four vertex arrays are parallel and hold patch after patch; patch
// p = row * patches + column covers the cells column * cells .. + cells in
// x and row * cells .. + cells in z. Indices count within their patch.
struct TerrainPatches {
    int patchCount = 0;
    int patchVertexCount = 0;
    int patchIndexCount = 0;
    std::vector<engine::math::Vector3f> positions;
    std::vector<engine::math::Vector3f> normals;
    std::vector<engine::math::Vector2f> texCoords;
    std::vector<engine::math::Vector3f> weights; // material weights, a fourth 12-byte stream
    std::vector<int> indices;                    // 32-bit, two triangles per cell

    engine::math::Vector3f* PatchPositions(int p) { return &positions[Vertex(p)]; }
    engine::math::Vector3f* PatchNormals(int p) { return &normals[Vertex(p)]; }
    engine::math::Vector2f* PatchTexCoords(int p) { return &texCoords[Vertex(p)]; }
    engine::math::Vector3f* PatchWeights(int p) { return &weights[Vertex(p)]; }
    int* PatchIndices(int p) { return &indices[static_cast<std::size_t>(p) * patchIndexCount]; }

private:
    std::size_t Vertex(int p) const { return static_cast<std::size_t>(p) * patchVertexCount; }
};

TerrainPatches GenerateTerrainPatches(const TerrainConfig& config, const TerrainShape& shape);
