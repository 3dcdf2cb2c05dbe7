// Bark of the meadow's trees: long plates split by deep furrows, grey-brown.
// The texture is taller than wide and its features are stretched along v,
// which runs up the trunk.
#include "tools/generators/canvas.h"
#include "tools/generators/noise.h"
#include "tools/generators/showTextures.h"

#include <cmath>

namespace kovra::tools {

TextureImage MakeBark(int width, int height) {
    const Colour plate{0.40, 0.32, 0.24}, grey{0.56, 0.52, 0.47}, furrow{0.10, 0.07, 0.05},
        moss{0.30, 0.36, 0.16};
    return Paint(width, height, [&](double u, double v) {
        const double warp = Fbm(u, v, {.cellsX = 2, .cellsY = 4, .count = 3, .seed = 41});
        // Furrows follow the zero crossings of noise with many cells across
        // and few along the trunk: long, meandering, vertical.
        const double lines = Fbm(u + 0.05 * warp, v,
                                 {.cellsX = 9, .cellsY = 1, .count = 4, .gain = 0.55, .seed = 42});
        const double furrowWidth =
            0.1 + 0.08 * Fbm(u, v, {.cellsX = 4, .cellsY = 3, .count = 2, .seed = 47});
        const double depth = Smoothstep(furrowWidth, 0.0, std::abs(lines));
        // Plates break across now and then.
        const double breaks = Fbm(u, v, {.cellsX = 6, .cellsY = 10, .count = 2, .seed = 43});
        const double split =
            Smoothstep(0.04, 0.0, std::abs(breaks)) * Smoothstep(0.2, 0.5, std::abs(lines));
        const double tone = Fbm(u, v, {.cellsX = 8, .cellsY = 16, .count = 4, .seed = 44});
        Colour c = Mix(plate, grey, Clamp01(0.35 + 0.9 * tone));
        c = Mix(c, furrow, Clamp01(depth + 0.7 * split));
        const double damp = Fbm(u, v, {.cellsX = 3, .cellsY = 3, .count = 3, .seed = 45});
        c = Mix(c, moss, 0.5 * Smoothstep(0.3, 0.6, damp) * (1.0 - depth));
        const double grain = Fbm(u, v, {.cellsX = 64, .cellsY = 8, .count = 2, .seed = 46});
        return Scale(c, 0.9 + 0.2 * grain);
    });
}

} // namespace kovra::tools
