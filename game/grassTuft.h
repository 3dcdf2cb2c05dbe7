#pragma once

#include "terrainConfig.h"

#include "engine/math/vector2f.h"
#include "engine/math/vector3f.h"

#include <vector>

// One tuft of grass at the origin: sheets turned pi / sheets apart about the
// vertical, each a grid that curls backwards with height; a sheet uses one
// quarter of the grass texture's width.
struct GrassTuft {
    std::vector<engine::math::Vector3f> positions;
    std::vector<engine::math::Vector2f> texCoords;
    std::vector<int> indices; // two triangles per sheet cell
};

GrassTuft MakeGrassTuft(const TerrainConfig& config);
