#pragma once

#include "meshArrays.h"
#include "terrainConfig.h"
#include "terrainShape.h"

#include <vector>

// The tufts of one grass patch as one mesh. Grass has no normals: the mesh's
// normal stream is a null pointer.
struct GrassBatch : MeshArrays {
    int gridX = 0; // which grass patch
    int gridZ = 0;
};

// One batch per grass patch that received a tuft, row after row (z outer).
std::vector<GrassBatch> GenerateGrass(const TerrainConfig& config, const TerrainShape& shape);
