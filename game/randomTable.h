#pragma once

#include <cstdint>

// The program's one source of "random" numbers: a table filled once from a
// fixed start value, so that every generated scene is the same on every run,
// and the value noise built on it.
namespace randomTable {

inline constexpr std::uint32_t kSize = 1u << 20;

// Fills both tables; later calls change nothing.
void Fill();
// Writes kSize values of the sequence into table: table[0] = start, then
// table[k] = (k - table[k - 1] * 30363) mod 2^16.
void FillSequence(std::uint32_t* table, std::uint32_t start);

// Entry i mod 2^20 of the first table, a value in [0, 65535].
std::uint32_t random(std::uint32_t i);
// The same entry scaled to [0, 1].
float random01(std::uint32_t i);
// Entry (x + 57 z) of the first table scaled to [0, 1]; the index is reduced
// as an unsigned value, so negative coordinates stay inside the table.
float random2(std::int32_t x, std::int32_t z);
// Entry i mod 2^20 of the second table, which continues the first sequence.
std::uint32_t continued(std::uint32_t i);

// Smooth value noise over the table: the values of random2 at the four
// surrounding integer points, blended with the weights (cos(f pi) + 1) / 2 of
// the fractions f. Equals random2(x, z) at integer coordinates. Coordinates
// are truncated toward zero, so the noise mirrors itself across the axes.
float noise(double x, double z);

} // namespace randomTable
