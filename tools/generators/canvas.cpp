#include "tools/generators/canvas.h"

#include <algorithm>
#include <cmath>

namespace kovra::tools {

using engine::core::resources::TextureImage;

Colour Mix(const Colour& from, const Colour& to, double t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

Colour Scale(const Colour& colour, double factor) {
    return {colour.r * factor, colour.g * factor, colour.b * factor, colour.a};
}

double Clamp01(double x) {
    return std::clamp(x, 0.0, 1.0);
}

double Smoothstep(double edge0, double edge1, double x) {
    const double t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

namespace {

std::uint8_t Quantise(double value) {
    return static_cast<std::uint8_t>(std::lround(Clamp01(value) * 255.0));
}

} // namespace

TextureImage Paint(int width, int height, const std::function<Colour(double u, double v)>& paint,
                   int samples) {
    TextureImage image;
    image.format = engine::platform::Format::A8R8G8B8;
    image.width = width;
    image.height = height;
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * height * 4);
    const double weight = 1.0 / (samples * samples);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Colour sum{0.0, 0.0, 0.0, 0.0};
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const Colour c = paint((x + (sx + 0.5) / samples) / width,
                                           (y + (sy + 0.5) / samples) / height);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b, sum.a + c.a};
                }
            }
            std::uint8_t* out = &texels[(static_cast<std::size_t>(y) * width + x) * 4];
            out[0] = Quantise(sum.b * weight);
            out[1] = Quantise(sum.g * weight);
            out[2] = Quantise(sum.r * weight);
            out[3] = Quantise(sum.a * weight);
        }
    }
    image.levels.push_back(std::move(texels));
    return image;
}

} // namespace kovra::tools
