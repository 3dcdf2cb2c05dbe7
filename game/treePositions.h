#pragma once

#include "terrainConfig.h"
#include "terrainShape.h"

#include "engine/math/vector3f.h"

#include <vector>

// Whether a tree may grow where the shaped height is w2: the pure-grass
// band, both edges included.
bool AcceptsTree(float w2);

// Trees on a jittered 31 x 31 grid over the terrain, kept where they fall on
// the grass band; row after row (z outer), positions on the ground.
std::vector<engine::math::Vector3f> GenerateTreePositions(const TerrainConfig& config,
                                                          const TerrainShape& shape);
