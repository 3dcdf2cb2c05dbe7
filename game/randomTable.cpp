#include "randomTable.h"

#include <cmath>
#include <numbers>

namespace randomTable {
namespace {

constexpr std::uint32_t kMask = kSize - 1;
constexpr std::uint32_t kMultiplier = 30363;

// Static storage: lookups before Fill read zeros instead of faulting.
std::uint32_t gFirst[kSize];
std::uint32_t gSecond[kSize];
bool gFilled = false;

inline float Entry(std::int32_t x, std::int32_t z) {
    const std::uint32_t index = static_cast<std::uint32_t>(x) + 57u * static_cast<std::uint32_t>(z);
    return static_cast<float>(gFirst[index & kMask]) / 65535.0f;
}

constexpr double kCosineSteps[] = {1.0 / (15 * 16), 1.0 / (13 * 14), 1.0 / (11 * 12),
                                   1.0 / (9 * 10),  1.0 / (7 * 8),   1.0 / (5 * 6),
                                   1.0 / (3 * 4),   1.0 / (1 * 2)};

// (cos(f pi) + 1) / 2 for f in (-1, 1): a Taylor series of cos on
// [0, pi / 2], accurate to 1e-12, mirrored onto the rest of the range. It
// is several times faster than the library's cos and the same everywhere.
inline double Blend(double f) {
    f = std::fabs(f);
    const bool upper = f > 0.5;
    const double y = (upper ? 1.0 - f : f) * std::numbers::pi;
    const double y2 = y * y;
    // Horner form of 1 - y^2/2! (1 - y^2/(3*4) (1 - ... (1 - y^2/(15*16)))).
    double c = 1.0;
    for (double inverse : kCosineSteps)
        c = 1.0 - y2 * inverse * c;
    return upper ? (1.0 - c) * 0.5 : (1.0 + c) * 0.5;
}

} // namespace

// The generic form is k - ((prev xor (prev >> 30)) * 30363); the shift is
// kept although 16-bit values make it zero.
void FillSequence(std::uint32_t* table, std::uint32_t start) {
    table[0] = start;
    std::uint32_t prev = start;
    for (std::uint32_t k = 1; k < kSize; ++k) {
        prev = (k - (prev ^ (prev >> 30)) * kMultiplier) & 0xFFFFu;
        table[k] = prev;
    }
}

void Fill() {
    if (gFilled)
        return;
    FillSequence(gFirst, 2);
    FillSequence(gSecond, gFirst[kSize - 1]);
    gFilled = true;
}

std::uint32_t random(std::uint32_t i) {
    return gFirst[i & kMask];
}

float random01(std::uint32_t i) {
    return static_cast<float>(gFirst[i & kMask]) / 65535.0f;
}

float random2(std::int32_t x, std::int32_t z) {
    return Entry(x, z);
}

std::uint32_t continued(std::uint32_t i) {
    return gSecond[i & kMask];
}

float noise(double x, double z) {
    const double xi = std::trunc(x);
    const double zi = std::trunc(z);
    const double wx = Blend(x - xi);
    const double wz = Blend(z - zi);
    const auto ix = static_cast<std::int32_t>(xi);
    const auto iz = static_cast<std::int32_t>(zi);
    const double near = Entry(ix, iz + 1) * (1.0 - wz) + Entry(ix, iz) * wz;
    const double far = Entry(ix + 1, iz + 1) * (1.0 - wz) + Entry(ix + 1, iz) * wz;
    return static_cast<float>(near * wx + far * (1.0 - wx));
}

} // namespace randomTable
