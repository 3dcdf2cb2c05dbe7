// Alpha-tested cut-outs: a cluster of leaves on a twig for the tree crowns
// and a tuft of grass blades for the meadow. Outside the shapes alpha is 0
// but the colour stays a dark green, so that filtering and mips do not
// darken the outlines with black fringes.
#include "tools/generators/canvas.h"
#include "tools/generators/noise.h"
#include "tools/generators/random.h"
#include "tools/generators/showTextures.h"

#include <cmath>
#include <vector>

namespace kovra::tools {

namespace {

constexpr double kPi = 3.141592653589793;
const Colour kFoliageBackground{0.16, 0.28, 0.09, 0.0};

struct Leaf {
    double baseU, baseV; // where the stalk meets the twig
    double angle;        // of the leaf's axis, 0 pointing up
    double length, width;
    Colour colour;
};

struct Twig {
    double fromU, fromV, toU, toV;
};

double DistanceToSegment(double u, double v, const Twig& t) {
    const double du = t.toU - t.fromU, dv = t.toV - t.fromV;
    const double s = Clamp01(((u - t.fromU) * du + (v - t.fromV) * dv) / (du * du + dv * dv));
    return std::hypot(u - t.fromU - s * du, v - t.fromV - s * dv);
}

// The leaf's colour at (u, v), or nothing when the point is outside it.
bool ShadeLeaf(const Leaf& leaf, double u, double v, Colour& out) {
    const double du = u - leaf.baseU, dv = leaf.baseV - v; // v grows downwards
    if (du * du + dv * dv >= leaf.length * leaf.length)
        return false;
    const double along = (du * std::sin(leaf.angle) + dv * std::cos(leaf.angle)) / leaf.length;
    const double across = (du * std::cos(leaf.angle) - dv * std::sin(leaf.angle)) / leaf.width;
    if (along <= 0.0 || along >= 1.0)
        return false;
    // Widest a third of the way out, pointed at the tip.
    const double half = 0.5 * std::pow(std::sin(kPi * std::pow(along, 0.75)), 0.9);
    if (std::abs(across) >= half)
        return false;
    const double edge = std::abs(across) / half;
    Colour c = Mix(leaf.colour, Scale(leaf.colour, 0.7), edge * edge);
    const double midrib = Smoothstep(0.06, 0.0, std::abs(across));
    const double veins = std::pow(0.5 + 0.5 * std::cos(2 * kPi * (6.0 * along - 2.5 * edge)), 8);
    c = Mix(c, Scale(leaf.colour, 1.35), 0.6 * midrib + 0.15 * veins * (1.0 - edge));
    c.a = 1.0;
    out = c;
    return true;
}

} // namespace

TextureImage MakeLeaf(int width, int height) {
    Random random(51);
    const std::vector<Twig> twigs = {{0.5, 1.0, 0.5, 0.2},
                                     {0.5, 0.78, 0.2, 0.5},
                                     {0.5, 0.62, 0.8, 0.36},
                                     {0.5, 0.45, 0.26, 0.24},
                                     {0.5, 0.88, 0.8, 0.66}};
    std::vector<Leaf> leaves;
    for (const Twig& twig : twigs) {
        const double twigAngle = std::atan2(twig.toU - twig.fromU, twig.fromV - twig.toV);
        for (int i = 0; i < 6; ++i) {
            const double s = 0.3 + 0.13 * i;
            const double side = (i % 2) ? 1.0 : -1.0;
            const double green = random.Range(0.0, 1.0);
            leaves.push_back({twig.fromU + s * (twig.toU - twig.fromU),
                              twig.fromV + s * (twig.toV - twig.fromV),
                              twigAngle + side * random.Range(0.5, 1.0), random.Range(0.15, 0.21),
                              random.Range(0.07, 0.09),
                              Mix(Colour{0.18, 0.38, 0.09}, Colour{0.40, 0.56, 0.14}, green)});
        }
        leaves.push_back({twig.toU, twig.toV, twigAngle, 0.16, 0.08, Colour{0.30, 0.50, 0.12}});
    }
    const Colour wood{0.30, 0.22, 0.14, 1.0};
    return Paint(
        width, height,
        [&](double u, double v) {
            Colour c = kFoliageBackground;
            for (const Twig& twig : twigs)
                if (DistanceToSegment(u, v, twig) < 0.012 * (1.0 + (v - twig.toV)))
                    c = wood;
            for (const Leaf& leaf : leaves)
                ShadeLeaf(leaf, u, v, c);
            return c;
        },
        2);
}

TextureImage MakeGrassBlades(int width, int height) {
    struct Blade {
        double rootU, height, rootWidth, bend;
        Colour base, tip;
    };
    Random random(61);
    std::vector<Blade> blades;
    for (int i = 0; i < 36; ++i) {
        const double dry = random.Range(0.0, 1.0) < 0.2 ? 1.0 : 0.0;
        blades.push_back({random.Range(0.0, 1.0), random.Range(0.45, 0.97),
                          random.Range(0.014, 0.028), random.Range(-0.18, 0.18),
                          Mix(Colour{0.10, 0.22, 0.06}, Colour{0.28, 0.26, 0.10}, dry),
                          Mix(Colour{0.42, 0.62, 0.22}, Colour{0.72, 0.66, 0.34}, dry)});
    }
    return Paint(
        width, height,
        [&](double u, double v) {
            Colour c = kFoliageBackground;
            const double up = 1.0 - v;
            for (const Blade& blade : blades) {
                const double s = up / blade.height;
                if (s >= 1.0)
                    continue;
                double offset = u - (blade.rootU + blade.bend * s * s);
                offset -= std::round(offset); // wraps across u: tufts may be tiled
                if (std::abs(offset) >= blade.rootWidth)
                    continue;
                const double half = blade.rootWidth * std::pow(1.0 - s, 0.6);
                if (std::abs(offset) >= half)
                    continue;
                c = Mix(blade.base, blade.tip, std::pow(s, 0.7));
                c = Scale(c, 0.8 + 0.35 * (offset / half + 1.0) * 0.5); // lit from one side
                c.a = 1.0;
            }
            return c;
        },
        2);
}

} // namespace kovra::tools
