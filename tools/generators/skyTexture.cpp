// The sky: a cool morning gradient from deep blue at the zenith (top row)
// to a pale, slightly green horizon (bottom row), with fair-weather clouds
// that flatten and thin towards the horizon. Tiles across u, so it wraps
// around a dome.
#include "tools/generators/canvas.h"
#include "tools/generators/noise.h"
#include "tools/generators/showTextures.h"

#include <cmath>

namespace kovra::tools {

TextureImage MakeSky(int width, int height) {
    const Colour zenith{0.20, 0.38, 0.68}, middle{0.42, 0.62, 0.84}, horizon{0.80, 0.87, 0.88};
    const Colour cloudLit{0.97, 0.97, 0.95}, cloudShade{0.62, 0.67, 0.74};
    return Paint(width, height, [&](double u, double v) {
        Colour c = v < 0.6 ? Mix(zenith, middle, Smoothstep(0.0, 0.6, v))
                           : Mix(middle, horizon, Smoothstep(0.6, 1.0, v));
        // Closer to the horizon the clouds are farther away: squash them.
        const double squash = 1.0 + 2.0 * v * v;
        const double density =
            Fbm(u, v * squash, {.cellsX = 6, .cellsY = 3, .count = 6, .seed = 71});
        const double cover =
            Smoothstep(0.0, 0.4, density) * Smoothstep(1.0, 0.55, v) * Smoothstep(0.0, 0.15, v);
        const double lit =
            Fbm(u, v * squash - 0.02, {.cellsX = 6, .cellsY = 3, .count = 6, .seed = 71});
        const Colour cloud = Mix(cloudShade, cloudLit, Smoothstep(-0.1, 0.4, density - lit + 0.25));
        return Mix(c, cloud, 0.9 * cover);
    });
}

} // namespace kovra::tools
