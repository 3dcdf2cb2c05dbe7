#include "valueNoise.h"

#include "randomTable.h"

#include <cmath>
#include <numbers>

namespace randomTable {

float noise(double x, double z) {
    const double xi = std::trunc(x);
    const double zi = std::trunc(z);
    const double wx = (std::cos((x - xi) * std::numbers::pi) + 1.0) * 0.5;
    const double wz = (std::cos((z - zi) * std::numbers::pi) + 1.0) * 0.5;
    const auto ix = static_cast<std::int32_t>(xi);
    const auto iz = static_cast<std::int32_t>(zi);
    const double near = random2(ix, iz + 1) * (1.0 - wz) + random2(ix, iz) * wz;
    const double far = random2(ix + 1, iz + 1) * (1.0 - wz) + random2(ix + 1, iz) * wz;
    return static_cast<float>(near * wx + far * (1.0 - wx));
}

} // namespace randomTable
