// Tiling normal map for the lake: a few long swells plus fractal ripples.
// Normals come from the height's slope between neighbouring texels, so the
// map matches its own resolution.
#include "tools/generators/canvas.h"
#include "tools/generators/noise.h"
#include "tools/generators/showTextures.h"

#include <cmath>

namespace kovra::tools {

namespace {

constexpr double kTau = 6.283185307179586;

double WaveHeight(double u, double v) {
    // Whole numbers of wavelengths across the square keep the swells tiling.
    const double swells = 0.5 * std::sin(kTau * (3.0 * u + 1.0 * v)) +
                          0.3 * std::sin(kTau * (-2.0 * u + 4.0 * v) + 1.3) +
                          0.2 * std::sin(kTau * (5.0 * u - 3.0 * v) + 0.4);
    return 0.3 * swells +
           Fbm(u, v, {.cellsX = 6, .cellsY = 6, .count = 3, .gain = 0.35, .seed = 81});
}

} // namespace

TextureImage MakeWaterNormals(int width, int height) {
    // Heights are in units where a slope of 1 per texture width tilts the
    // normal noticeably but never lies flat.
    constexpr double kStrength = 1.2;
    return Paint(width, height, [&](double u, double v) {
        const double du = 1.0 / width, dv = 1.0 / height;
        const double sx = (WaveHeight(u + du, v) - WaveHeight(u - du, v)) / (2.0 * du) / 64.0;
        const double sy = (WaveHeight(u, v + dv) - WaveHeight(u, v - dv)) / (2.0 * dv) / 64.0;
        const double nx = -kStrength * sx, ny = -kStrength * sy;
        const double length = std::sqrt(nx * nx + ny * ny + 1.0);
        return Colour{0.5 + 0.5 * nx / length, 0.5 + 0.5 * ny / length, 0.5 + 0.5 / length,
                      Clamp01(0.5 + 0.4 * WaveHeight(u, v))};
    });
}

} // namespace kovra::tools
