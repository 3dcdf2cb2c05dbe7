#pragma once

#include <cstdint>

namespace kovra::tools {

// Noise over the unit square that wraps at its edges, so textures made from
// it tile: u and v are taken modulo 1, and every lattice has a whole number
// of cells across.

// Gradient (Perlin) noise with `cellsX` x `cellsY` cells over the square;
// about -1..1.
double PeriodicPerlin(double u, double v, int cellsX, int cellsY, std::uint32_t seed);

struct Octaves {
    int cellsX = 4; // of the first octave; each further one doubles them
    int cellsY = 4;
    int count = 5;
    double gain = 0.5; // amplitude of each octave relative to the one before
    std::uint32_t seed = 1;
};

// Fractal sum of gradient noise, scaled back to about -1..1.
double Fbm(double u, double v, const Octaves& octaves);

// Ridged sum: sharp crests where the noise crosses zero, 0..1.
double Ridged(double u, double v, const Octaves& octaves);

// Distances to the nearest and second-nearest of one random point per cell,
// in cell units, on a `cells` x `cells` lattice.
struct CellDistances {
    double nearest;
    double second;
};
CellDistances Cellular(double u, double v, int cells, std::uint32_t seed);

} // namespace kovra::tools
