#include "tools/generators/sceneMeshes.h"

#include <cmath>
#include <numbers>

namespace kovra::tools {

namespace {

constexpr int kSegments = 20;
constexpr int kRings = 12;

// Smooth lumps: a few waves over the direction, fixed so that every rock
// of the show is the same boulder.
float Lumps(const engine::math::Vector3f& d) {
    return 0.16f * std::sin(3.1f * d.x + 1.3f * d.y + 0.7f) +
           0.11f * std::sin(4.3f * d.z - 2.2f * d.x + 2.1f) +
           0.07f * std::sin(6.7f * d.y + 5.1f * d.z + 0.4f) +
           0.04f * std::sin(9.3f * d.x + 8.1f * d.z - 1.9f);
}

} // namespace

MeshModel Boulder() {
    using engine::math::Vector3f;
    MeshModel mesh;
    const float pi = std::numbers::pi_v<float>;
    const int row = kSegments + 1;
    for (int r = 0; r <= kRings; ++r) {
        const float polar = static_cast<float>(r) / kRings * pi;
        for (int s = 0; s <= kSegments; ++s) {
            const float angle = static_cast<float>(s) / kSegments * 2.0f * pi;
            const Vector3f d(std::sin(polar) * std::sin(angle), std::cos(polar),
                             std::sin(polar) * std::cos(angle));
            const float radius = 0.5f * (1.0f + Lumps(d));
            // Flattened, its widest part a little above its foot.
            mesh.positions.emplace_back(d.x * radius, d.y * radius * 0.7f + 0.2f, d.z * radius);
            mesh.normals.push_back(d);
            mesh.texCoords.emplace_back(static_cast<float>(s) / kSegments * 2.0f,
                                        static_cast<float>(r) / kRings);
        }
    }
    for (int r = 0; r < kRings; ++r)
        for (int s = 0; s < kSegments; ++s) {
            const auto a = static_cast<std::uint32_t>(r * row + s);
            mesh.Quad(a, a + 1, a + row + 1, a + row,
                      mesh.normals[a] + mesh.normals[a + 1] + mesh.normals[a + row] +
                          mesh.normals[a + row + 1]);
        }
    return mesh;
}

} // namespace kovra::tools
