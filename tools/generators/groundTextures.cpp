// The three ground materials: sand by the water, meadow grass, and rock on
// the steep and high parts. All tile; colours are natural and a little cool
// so that the morning light and the warm dusk both sit well on them.
#include "tools/generators/canvas.h"
#include "tools/generators/noise.h"
#include "tools/generators/random.h"
#include "tools/generators/showTextures.h"

#include <cmath>

namespace kovra::tools {

namespace {

constexpr double kTau = 6.283185307179586;

// Per-texel grain in -1..1, tiling with the texture because it is keyed on
// the texel index.
double Grain(double u, double v, int width, int height, std::uint32_t seed) {
    const int x = static_cast<int>(u * width) % width;
    const int y = static_cast<int>(v * height) % height;
    return Hash(x, y, seed) / 2147483648.0 - 1.0;
}

} // namespace

TextureImage MakeSand(int width, int height) {
    const Colour light{0.80, 0.72, 0.56}, dark{0.62, 0.54, 0.41}, shell{0.88, 0.84, 0.76};
    return Paint(width, height, [&](double u, double v) {
        const double warp = Fbm(u, v, {.cellsX = 3, .cellsY = 3, .count = 3, .seed = 11});
        // Wind ripples: a whole number of crests down the square, bent by noise.
        const double ripple = 0.5 + 0.5 * std::sin(kTau * (14.0 * v + 1.6 * warp + u));
        const double dunes = Fbm(u, v, {.cellsX = 4, .cellsY = 4, .count = 4, .seed = 12});
        Colour c = Mix(dark, light, 0.55 + 0.3 * dunes + 0.3 * (ripple - 0.5));
        const CellDistances pebble = Cellular(u, v, 40, 13);
        if (pebble.nearest < 0.14)
            c = Mix(c,
                    (Hash(static_cast<int>(u * 40), static_cast<int>(v * 40), 14) & 1) ? shell
                                                                                       : dark,
                    0.7 * Smoothstep(0.14, 0.08, pebble.nearest));
        return Scale(c, 1.0 + 0.06 * Grain(u, v, width, height, 15));
    });
}

TextureImage MakeGrass(int width, int height) {
    const Colour lush{0.22, 0.40, 0.14}, dry{0.50, 0.53, 0.25}, shade{0.10, 0.21, 0.08},
        tips{0.46, 0.60, 0.24}, soil{0.30, 0.24, 0.15};
    return Paint(width, height, [&](double u, double v) {
        const double patches = Fbm(u, v, {.cellsX = 3, .cellsY = 3, .count = 4, .seed = 21});
        const double clumps = Fbm(u, v, {.cellsX = 16, .cellsY = 16, .count = 3, .seed = 23});
        // Small tufts: bright where a tuft's centre is, shaded between them.
        const CellDistances tuft = Cellular(u + 0.01 * clumps, v, 72, 22);
        const double shadow = Fbm(u, v, {.cellsX = 6, .cellsY = 6, .count = 3, .seed = 26});
        Colour c = Mix(lush, dry, 0.8 * Smoothstep(0.15, 0.7, patches));
        c = Mix(c, shade, 0.5 * Smoothstep(0.0, 0.5, shadow));
        c = Mix(c, shade, Clamp01(0.55 * tuft.nearest - 0.3 * clumps));
        c = Mix(c, tips, 0.5 * Smoothstep(0.35, 0.0, tuft.nearest));
        if (Cellular(u, v, 24, 24).nearest < 0.08)
            c = Mix(c, soil, 0.45);
        return Scale(c, 1.0 + 0.1 * Grain(u, v, width, height, 25));
    });
}

TextureImage MakeRock(int width, int height) {
    const Colour grey{0.52, 0.51, 0.50}, dark{0.27, 0.28, 0.30}, warm{0.58, 0.51, 0.42},
        lichen{0.58, 0.58, 0.34};
    return Paint(width, height, [&](double u, double v) {
        const double mottle = Fbm(u, v, {.cellsX = 4, .cellsY = 4, .count = 6, .seed = 31});
        const double strata = std::sin(kTau * (4.0 * v + 0.9 * mottle));
        Colour c = Mix(grey, warm, Clamp01(0.45 + 0.9 * mottle));
        c = Mix(c, dark, Clamp01(0.3 - 0.6 * mottle + 0.15 * strata));
        // A few long cracks: borders of large, warped cells, fading in and out.
        const double warp = Fbm(u, v, {.cellsX = 3, .cellsY = 3, .count = 3, .seed = 36});
        const CellDistances cells = Cellular(u + 0.08 * warp, v + 0.08 * mottle, 4, 32);
        const double visible =
            Smoothstep(-0.05, 0.3, Fbm(u, v, {.cellsX = 4, .cellsY = 4, .count = 2, .seed = 37}));
        const double crack = Smoothstep(0.07, 0.0, cells.second - cells.nearest) * visible;
        c = Mix(c, Scale(dark, 0.5), 0.8 * crack);
        const double fine = Fbm(u, v, {.cellsX = 24, .cellsY = 24, .count = 3, .seed = 33});
        c = Scale(c, 1.0 + 0.12 * fine);
        const double moss = Fbm(u, v, {.cellsX = 6, .cellsY = 6, .count = 4, .seed = 34});
        c = Mix(c, lichen, 0.6 * Smoothstep(0.3, 0.5, moss));
        return Scale(c, 1.0 + 0.07 * Grain(u, v, width, height, 35));
    });
}

} // namespace kovra::tools
