#pragma once

#include "game/terrainConfig.h"

#include <vector>

namespace kovra::tools {

// The surface of the terrain the game generates, as its triangles draw it:
// the height field sampled on the terrain grid and interpolated over each
// cell's two triangles, so that things placed on it neither float nor sink.
class GroundHeight {
public:
    explicit GroundHeight(const TerrainConfig& config = TerrainConfig());

    // Height at world (x, z); outside the terrain the nearest edge holds.
    float At(float x, float z) const;

private:
    float Grid(int gx, int gz) const;

    TerrainConfig mConfig;
    int mPoints; // grid points per side
    std::vector<float> mHeights;
};

} // namespace kovra::tools
