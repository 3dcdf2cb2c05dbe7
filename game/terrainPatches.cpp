#include "terrainPatches.h"

#include "materialWeights.h"

using engine::math::Vector2f;
using engine::math::Vector3f;

namespace {

// Two triangles per cell, wound so that they face up (+y).
void FillPatchIndices(int* out, int cells) {
    const int row = cells + 1;
    for (int z = 0; z < cells; ++z)
        for (int x = 0; x < cells; ++x) {
            const int a = z * row + x;
            const int b = a + 1;
            const int c = a + row;
            const int d = c + 1;
            const int cell[6] = {a, c, b, b, c, d};
            for (int k = 0; k < 6; ++k)
                *out++ = cell[k];
        }
}

} // namespace

TerrainPatches GenerateTerrainPatches(const TerrainConfig& config, const TerrainShape& shape) {
    const int cells = config.resolution / config.patches;
    const float cellX = config.extentX / static_cast<float>(config.resolution);
    const float cellZ = config.extentZ / static_cast<float>(config.resolution);

    // Every grid point once, plus one line beyond the far edges for normals.
    const int grid = config.resolution + 2;
    std::vector<Vector3f> points(static_cast<std::size_t>(grid) * grid);
    std::vector<float> shaped(points.size());
    for (int gz = 0; gz < grid; ++gz)
        for (int gx = 0; gx < grid; ++gx) {
            const float x = static_cast<float>(gx) * cellX;
            const float z = static_cast<float>(gz) * cellZ;
            const TerrainShape::Sample s = shape.At(x, z);
            const std::size_t k = static_cast<std::size_t>(gz) * grid + gx;
            points[k] = Vector3f(x - config.extentX * 0.5f, s.height, z - config.extentZ * 0.5f);
            shaped[k] = s.shaped;
        }

    TerrainPatches t;
    t.patchCount = config.patches * config.patches;
    t.patchVertexCount = (cells + 1) * (cells + 1);
    t.patchIndexCount = cells * cells * 6;
    const std::size_t vertices = static_cast<std::size_t>(t.patchCount) * t.patchVertexCount;
    t.positions.resize(vertices);
    t.normals.resize(vertices);
    t.texCoords.resize(vertices);
    t.weights.resize(vertices);
    t.indices.resize(static_cast<std::size_t>(t.patchCount) * t.patchIndexCount);

    std::size_t v = 0;
    for (int pz = 0; pz < config.patches; ++pz)
        for (int px = 0; px < config.patches; ++px) {
            FillPatchIndices(t.PatchIndices(pz * config.patches + px), cells);
            for (int rz = 0; rz <= cells; ++rz)
                for (int rx = 0; rx <= cells; ++rx, ++v) {
                    const int gx = px * cells + rx;
                    const int gz = pz * cells + rz;
                    const std::size_t k = static_cast<std::size_t>(gz) * grid + gx;
                    const Vector3f& p = points[k];
                    Vector3f n = (points[k + grid] - p) ^ (points[k + 1] - p);
                    n.Normalize();
                    t.positions[v] = p;
                    t.normals[v] = n;
                    t.texCoords[v] = Vector2f(static_cast<float>(gx) * cellX * config.textureScale,
                                              static_cast<float>(gz) * cellZ * config.textureScale);
                    t.weights[v] = MaterialWeights(shaped[k]);
                }
        }
    return t;
}
