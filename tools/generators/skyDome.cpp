#include "tools/generators/sceneMeshes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kovra::tools {

namespace {

constexpr float kRadius = 450.0f;
constexpr int kSegments = 48; // around
constexpr int kRings = 16;    // from the zenith down to the horizon
constexpr int kSkirt = 4;     // rings below the horizon: beyond the water's far edge
constexpr float kSkirtDegrees = 60.0f;

} // namespace

MeshModel SkyDome() {
    using engine::math::Vector3f;
    MeshModel mesh;
    const float pi = std::numbers::pi_v<float>;
    const int rings = kRings + kSkirt;
    const int row = kSegments + 1; // the seam's column twice, u = 0 and u = 1
    for (int r = 0; r <= rings; ++r) {
        const float below =
            r <= kRings ? 0.0f : static_cast<float>(r - kRings) / kSkirt * kSkirtDegrees;
        const float elevation = r <= kRings ? (1.0f - static_cast<float>(r) / kRings) * pi / 2.0f
                                            : -below * pi / 180.0f;
        for (int s = 0; s <= kSegments; ++s) {
            const float u = static_cast<float>(s) / kSegments;
            const float angle = u * 2.0f * pi;
            const Vector3f d(std::cos(elevation) * std::sin(angle), std::sin(elevation),
                             std::cos(elevation) * std::cos(angle));
            mesh.positions.push_back(d * kRadius);
            mesh.normals.push_back(d * -1.0f);
            mesh.texCoords.emplace_back(u, std::min(1.0f, static_cast<float>(r) / kRings));
        }
    }
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < kSegments; ++s) {
            const auto a = static_cast<std::uint32_t>(r * row + s);
            const Vector3f inwards = mesh.normals[a + row] + mesh.normals[a + row + 1];
            mesh.Quad(a, a + 1, a + row + 1, a + row, inwards);
        }
    return mesh;
}

} // namespace kovra::tools
