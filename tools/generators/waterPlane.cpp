#include "tools/generators/sceneMeshes.h"

namespace kovra::tools {

namespace {

constexpr int kCells = 30;        // per side; small enough cells for per-vertex fog
constexpr float kSize = 600.0f;   // covers the 200 x 200 terrain and the view beyond it
constexpr float kTexture = 20.0f; // units per texture repeat

} // namespace

MeshModel WaterPlane() {
    using engine::math::Vector2f;
    using engine::math::Vector3f;
    MeshModel mesh;
    const int row = kCells + 1;
    for (int j = 0; j <= kCells; ++j)
        for (int i = 0; i <= kCells; ++i) {
            const float x = (static_cast<float>(i) / kCells - 0.5f) * kSize;
            const float z = (static_cast<float>(j) / kCells - 0.5f) * kSize;
            mesh.positions.emplace_back(x, 0.0f, z);
            mesh.normals.emplace_back(0.0f, 1.0f, 0.0f);
            mesh.texCoords.emplace_back(x / kTexture, z / kTexture);
        }
    for (int j = 0; j < kCells; ++j)
        for (int i = 0; i < kCells; ++i) {
            const auto a = static_cast<std::uint32_t>(j * row + i);
            mesh.Quad(a, a + row, a + row + 1, a + 1, Vector3f(0.0f, 1.0f, 0.0f));
        }
    return mesh;
}

} // namespace kovra::tools
