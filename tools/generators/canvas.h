#pragma once

#include "engine/core/textureImage.h"

#include <functional>

namespace kovra::tools {

struct Colour {
    double r = 0.0, g = 0.0, b = 0.0, a = 1.0;
};

Colour Mix(const Colour& from, const Colour& to, double t);
Colour Scale(const Colour& colour, double factor); // RGB only
double Clamp01(double x);
double Smoothstep(double edge0, double edge1, double x);

// Level 0 of an A8R8G8B8 texture whose texels are `paint` at their centres,
// u across and v down, both 0..1. `samples` per edge supersample each texel,
// which keeps alpha-tested outlines smooth.
engine::core::resources::TextureImage Paint(int width, int height,
                                            const std::function<Colour(double u, double v)>& paint,
                                            int samples = 1);

} // namespace kovra::tools
