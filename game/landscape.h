#pragma once

#include "grassBatches.h"
#include "terrainConfig.h"
#include "terrainPatches.h"

#include "engine/math/vector3f.h"

#include <vector>

// Everything the scene module turns into landscape meshes and tree places.
struct Landscape {
    TerrainPatches terrain;
    std::vector<GrassBatch> grass;
    std::vector<engine::math::Vector3f> trees;
};

// Fills the random table if needed; the same result on every run.
Landscape GenerateLandscape(const TerrainConfig& config = TerrainConfig());
