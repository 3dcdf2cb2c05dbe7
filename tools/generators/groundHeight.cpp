#include "tools/generators/groundHeight.h"

#include "game/terrainShape.h"

#include <algorithm>
#include <cmath>

namespace kovra::tools {

GroundHeight::GroundHeight(const TerrainConfig& config)
    : mConfig(config), mPoints(config.resolution + 1) {
    const TerrainShape shape(config);
    const float cellX = config.extentX / static_cast<float>(config.resolution);
    const float cellZ = config.extentZ / static_cast<float>(config.resolution);
    mHeights.resize(static_cast<std::size_t>(mPoints) * mPoints);
    for (int gz = 0; gz < mPoints; ++gz)
        for (int gx = 0; gx < mPoints; ++gx)
            mHeights[static_cast<std::size_t>(gz) * mPoints + gx] =
                shape.At(static_cast<float>(gx) * cellX, static_cast<float>(gz) * cellZ).height;
}

float GroundHeight::Grid(int gx, int gz) const {
    gx = std::clamp(gx, 0, mPoints - 1);
    gz = std::clamp(gz, 0, mPoints - 1);
    return mHeights[static_cast<std::size_t>(gz) * mPoints + gx];
}

float GroundHeight::At(float x, float z) const {
    const float cells = static_cast<float>(mConfig.resolution);
    const float u = std::clamp((x / mConfig.extentX + 0.5f) * cells, 0.0f, cells);
    const float v = std::clamp((z / mConfig.extentZ + 0.5f) * cells, 0.0f, cells);
    const int gx = std::min(static_cast<int>(u), mConfig.resolution - 1);
    const int gz = std::min(static_cast<int>(v), mConfig.resolution - 1);
    const float fx = u - static_cast<float>(gx);
    const float fz = v - static_cast<float>(gz);
    // The cell's diagonal runs from (x + 1, z) to (x, z + 1).
    const float b = Grid(gx + 1, gz);
    const float c = Grid(gx, gz + 1);
    if (fx + fz <= 1.0f) {
        const float a = Grid(gx, gz);
        return a + fx * (b - a) + fz * (c - a);
    }
    const float d = Grid(gx + 1, gz + 1);
    return d + (1.0f - fx) * (c - d) + (1.0f - fz) * (b - d);
}

} // namespace kovra::tools
