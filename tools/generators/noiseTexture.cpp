// General-purpose tiling noise for effects (distortion, dissolves, sway):
// four independent fractal noises, one per channel, spread over 0..1.
#include "tools/generators/canvas.h"
#include "tools/generators/noise.h"
#include "tools/generators/showTextures.h"

namespace kovra::tools {

TextureImage MakeNoise(int width, int height) {
    return Paint(width, height, [](double u, double v) {
        auto channel = [&](std::uint32_t seed) {
            return Clamp01(0.5 +
                           0.75 * Fbm(u, v, {.cellsX = 4, .cellsY = 4, .count = 6, .seed = seed}));
        };
        return Colour{channel(91), channel(92), channel(93), channel(94)};
    });
}

} // namespace kovra::tools
