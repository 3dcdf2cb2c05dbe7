#pragma once

// Smooth value noise over the random table: cosine-weighted interpolation
// between the table values at the four surrounding integer points.
namespace randomTable {

// Equals random2(x, z) at integer coordinates. Coordinates are truncated
// toward zero, so the noise mirrors itself across the axes.
float noise(double x, double z);

} // namespace randomTable
