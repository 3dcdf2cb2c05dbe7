#include "treePositions.h"

using engine::math::Vector3f;

namespace {

constexpr int kSpacings = 30; // candidates are kSpacings + 1 per side
constexpr double kJitterFrequency = 20.0;
// Multiples of the noise offsets that keep the x and z jitter apart.
constexpr double kJitterSeedX = 50.0;
constexpr double kJitterSeedZ = 10.0;
constexpr double kJitterReach = 5.5; // in grid spacings
constexpr float kBandLow = 0.05f;
constexpr float kBandHigh = 0.1f;

} // namespace

bool AcceptsTree(float w2) {
    return w2 >= kBandLow && w2 <= kBandHigh;
}

std::vector<Vector3f> GenerateTreePositions(const TerrainConfig& config,
                                            const TerrainShape& shape) {
    const double spacingX = config.extentX / kSpacings;
    const double spacingZ = config.extentZ / kSpacings;
    std::vector<Vector3f> trees;
    for (int j = 0; j <= kSpacings; ++j)
        for (int i = 0; i <= kSpacings; ++i) {
            const double x = i * spacingX * config.frequency * kJitterFrequency;
            const double z = j * spacingZ * config.frequency * kJitterFrequency;
            const double ji = i + shape.Jitter(x + config.offsetX * kJitterSeedX,
                                               z + config.offsetZ * kJitterSeedX) *
                                      kJitterReach;
            const double jj = j + shape.Jitter(x + config.offsetX * kJitterSeedZ,
                                               z + config.offsetZ * kJitterSeedZ) *
                                      kJitterReach;
            const TerrainShape::Sample s = shape.At(ji * spacingX, jj * spacingZ);
            if (AcceptsTree(s.shaped))
                trees.emplace_back(static_cast<float>(ji * spacingX - config.extentX * 0.5),
                                   s.height,
                                   static_cast<float>(jj * spacingZ - config.extentZ * 0.5));
        }
    return trees;
}
