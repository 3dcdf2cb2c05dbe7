#pragma once

#include "terrainConfig.h"

// The height field: fractal value noise shaped into flat valleys and steep
// peaks. Positions are measured from the terrain corner.
class TerrainShape {
public:
    struct Sample {
        float shaped; // w squared: 0.03 is the zero level, the input of the material weights
        float height; // (shaped - 0.03) * height scale
    };

    explicit TerrainShape(const TerrainConfig& config);

    // Sum of the octaves of noise at (x, z), each 2^i times the frequency
    // and persistence^i times the amplitude of the one before.
    double Fbm(double x, double z) const;
    // The largest value Fbm can take.
    double FbmMax() const { return mFbmMax; }
    // Fbm scaled to [-1, 1]: the jitter of grass samples and tree positions.
    double Jitter(double x, double z) const { return Fbm(x, z) / mFbmMax * 2.0 - 1.0; }

    Sample At(double x, double z) const;
    // The sample for a normalized noise value n in [0, 1]:
    // w = 1 / (5 - 4.1667 n) - 0.2 is 0 at n = 0 and 1 at n = 1, so valleys
    // are flat and peaks steep.
    Sample FromNoise(double n) const;

private:
    TerrainConfig mConfig;
    double mFbmMax = 0.0;
};
