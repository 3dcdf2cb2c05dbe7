#include "tools/generators/noise.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kovra::tools;

TEST(Noise, PerlinRepeatsExactlyAcrossTheSquare) {
    for (double u = 0.0; u < 1.0; u += 0.0371) {
        for (double v = 0.0; v < 1.0; v += 0.0529) {
            const double here = PeriodicPerlin(u, v, 5, 3, 7);
            EXPECT_NEAR(PeriodicPerlin(u + 1.0, v, 5, 3, 7), here, 1e-9);
            EXPECT_NEAR(PeriodicPerlin(u, v - 1.0, 5, 3, 7), here, 1e-9);
        }
    }
}

TEST(Noise, PerlinIsContinuousAcrossTheWrap) {
    // Just inside the right edge and just past the left one meet.
    for (double v = 0.0; v < 1.0; v += 0.05)
        EXPECT_NEAR(PeriodicPerlin(1.0 - 1e-7, v, 4, 4, 3), PeriodicPerlin(0.0, v, 4, 4, 3), 1e-4);
}

TEST(Noise, PerlinStaysInRangeAndVaries) {
    double low = 1.0, high = -1.0;
    for (double u = 0.0; u < 1.0; u += 0.013)
        for (double v = 0.0; v < 1.0; v += 0.017) {
            const double n = PeriodicPerlin(u, v, 8, 8, 11);
            low = std::min(low, n);
            high = std::max(high, n);
        }
    EXPECT_GE(low, -1.0);
    EXPECT_LE(high, 1.0);
    EXPECT_LT(low, -0.4);
    EXPECT_GT(high, 0.4);
}

TEST(Noise, SeedsGiveDifferentNoise) {
    int same = 0;
    for (double u = 0.05; u < 1.0; u += 0.1)
        same += PeriodicPerlin(u, 0.33, 4, 4, 1) == PeriodicPerlin(u, 0.33, 4, 4, 2);
    EXPECT_LT(same, 3);
}

TEST(Noise, FractalSumsTileAndStayInRange) {
    const Octaves octaves{.cellsX = 3, .cellsY = 2, .count = 5, .seed = 9};
    for (double u = 0.0; u < 1.0; u += 0.043) {
        for (double v = 0.0; v < 1.0; v += 0.061) {
            const double fbm = Fbm(u, v, octaves), ridged = Ridged(u, v, octaves);
            EXPECT_NEAR(Fbm(u + 1.0, v + 1.0, octaves), fbm, 1e-9);
            EXPECT_GE(fbm, -1.0);
            EXPECT_LE(fbm, 1.0);
            EXPECT_GE(ridged, 0.0);
            EXPECT_LE(ridged, 1.0);
        }
    }
}

TEST(Noise, CellularDistancesAreOrderedAndTile) {
    for (double u = 0.0; u < 1.0; u += 0.031) {
        for (double v = 0.0; v < 1.0; v += 0.047) {
            const CellDistances d = Cellular(u, v, 6, 5);
            EXPECT_GE(d.nearest, 0.0);
            EXPECT_LE(d.nearest, d.second);
            // Some point lies in the texel's own cell, so within a diagonal.
            EXPECT_LE(d.nearest, std::sqrt(2.0));
            const CellDistances wrapped = Cellular(u + 1.0, v - 1.0, 6, 5);
            EXPECT_NEAR(wrapped.nearest, d.nearest, 1e-9);
            EXPECT_NEAR(wrapped.second, d.second, 1e-9);
        }
    }
}
