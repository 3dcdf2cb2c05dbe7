#include "terrainShape.h"

#include "randomTable.h"

namespace {

constexpr double kZeroLevel = 0.03;

} // namespace

TerrainShape::TerrainShape(const TerrainConfig& config) : mConfig(config) {
    randomTable::Fill();
    double amplitude = 1.0;
    for (int i = 0; i < config.octaves; ++i) {
        mFbmMax += amplitude;
        amplitude *= config.persistence;
    }
}

double TerrainShape::Fbm(double x, double z) const {
    double sum = 0.0;
    double amplitude = 1.0;
    double scale = 1.0;
    for (int i = 0; i < mConfig.octaves; ++i) {
        sum += amplitude * randomTable::noise(x * scale, z * scale);
        amplitude *= mConfig.persistence;
        scale *= 2.0;
    }
    return sum;
}

TerrainShape::Sample TerrainShape::FromNoise(double n) const {
    const double w = 1.0 / (5.0 - 4.1667 * n) - 0.2;
    const auto shaped = static_cast<float>(w * w);
    return {shaped, static_cast<float>((shaped - kZeroLevel) * mConfig.heightScale)};
}

TerrainShape::Sample TerrainShape::At(double x, double z) const {
    return FromNoise(
        Fbm(x * mConfig.frequency + mConfig.offsetX, z * mConfig.frequency + mConfig.offsetZ) /
        mFbmMax);
}
