#include "tools/generators/noise.h"

#include "tools/generators/random.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kovra::tools {

namespace {

int Wrap(int i, int period) {
    const int m = i % period;
    return m < 0 ? m + period : m;
}

double Fade(double t) {
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

struct Gradient {
    double x, y;
};

// 256 unit vectors evenly around the circle: looking one up is much cheaper
// than a sine and cosine per lattice corner.
const std::array<Gradient, 256>& Gradients() {
    static const std::array<Gradient, 256> table = [] {
        std::array<Gradient, 256> gradients;
        for (int i = 0; i < 256; ++i)
            gradients[i] = {std::cos(i * 6.283185307179586 / 256),
                            std::sin(i * 6.283185307179586 / 256)};
        return gradients;
    }();
    return table;
}

// Dot product of the corner's pseudo-random unit gradient with the offset.
double Corner(int x, int y, std::uint32_t seed, double dx, double dy) {
    const Gradient& g = Gradients()[Hash(x, y, seed) >> 24];
    return g.x * dx + g.y * dy;
}

double Fraction(double u) {
    return u - std::floor(u);
}

} // namespace

double PeriodicPerlin(double u, double v, int cellsX, int cellsY, std::uint32_t seed) {
    const double x = Fraction(u) * cellsX;
    const double y = Fraction(v) * cellsY;
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const int xa = Wrap(x0, cellsX), xb = Wrap(x0 + 1, cellsX);
    const int ya = Wrap(y0, cellsY), yb = Wrap(y0 + 1, cellsY);
    const double n00 = Corner(xa, ya, seed, fx, fy);
    const double n10 = Corner(xb, ya, seed, fx - 1.0, fy);
    const double n01 = Corner(xa, yb, seed, fx, fy - 1.0);
    const double n11 = Corner(xb, yb, seed, fx - 1.0, fy - 1.0);
    const double sx = Fade(fx), sy = Fade(fy);
    const double top = n00 + (n10 - n00) * sx;
    const double bottom = n01 + (n11 - n01) * sx;
    // Gradient noise on a square lattice peaks at about +-0.7.
    return (top + (bottom - top) * sy) * 1.4;
}

double Fbm(double u, double v, const Octaves& octaves) {
    double sum = 0.0, amplitude = 1.0, total = 0.0;
    for (int i = 0; i < octaves.count; ++i) {
        sum += amplitude * PeriodicPerlin(u, v, octaves.cellsX << i, octaves.cellsY << i,
                                          octaves.seed + 1013u * static_cast<std::uint32_t>(i));
        total += amplitude;
        amplitude *= octaves.gain;
    }
    return sum / total;
}

double Ridged(double u, double v, const Octaves& octaves) {
    double sum = 0.0, amplitude = 1.0, total = 0.0;
    for (int i = 0; i < octaves.count; ++i) {
        const double n = PeriodicPerlin(u, v, octaves.cellsX << i, octaves.cellsY << i,
                                        octaves.seed + 7919u * static_cast<std::uint32_t>(i));
        const double crest = 1.0 - std::min(1.0, std::abs(n));
        sum += amplitude * crest * crest;
        total += amplitude;
        amplitude *= octaves.gain;
    }
    return sum / total;
}

CellDistances Cellular(double u, double v, int cells, std::uint32_t seed) {
    const double x = Fraction(u) * cells, y = Fraction(v) * cells;
    const int cx = static_cast<int>(x), cy = static_cast<int>(y);
    double nearest = 81.0, second = 81.0; // squared, until the end
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            const std::uint32_t h = Hash(Wrap(cx + i, cells), Wrap(cy + j, cells), seed);
            const double dx = cx + i + (h & 0xFFFF) / 65536.0 - x;
            const double dy = cy + j + (h >> 16) / 65536.0 - y;
            const double d = dx * dx + dy * dy;
            if (d < nearest) {
                second = nearest;
                nearest = d;
            } else if (d < second) {
                second = d;
            }
        }
    }
    return {std::sqrt(nearest), std::sqrt(second)};
}

} // namespace kovra::tools
