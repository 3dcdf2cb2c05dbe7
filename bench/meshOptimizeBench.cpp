#include "engine/gfx/mesh.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>

using namespace engine::gfx;
using engine::math::Vector3f;

namespace {

// A sheet of quads as exporters write it: every triangle with its own three
// vertices, so that each inner grid point has six coincident copies to weld.
// 200 x 84 quads: 100,800 vertices. `alongX` lays the sheet in the x-y plane;
// otherwise in the y-z plane, every x equal and every vertex in one bucket.
std::unique_ptr<Mesh> Sheet(bool alongX) {
    constexpr int kWide = 200;
    constexpr int kHigh = 84;
    constexpr std::size_t kCount = std::size_t(kWide) * kHigh * 6;
    auto* positions = static_cast<Vector3f*>(MeshData::AllocateStream(MeshData::Position, kCount));
    auto* normals = static_cast<Vector3f*>(MeshData::AllocateStream(MeshData::Normal, kCount));
    auto* indices = static_cast<std::uint32_t*>(MeshData::AllocateIndices(kCount, 4));
    std::size_t k = 0;
    for (int a = 0; a < kWide; ++a)
        for (int b = 0; b < kHigh; ++b) {
            const float corners[6][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 0}, {0, 1}, {1, 1}};
            for (const auto& corner : corners) {
                const float u = float(a) + corner[0];
                const float v = float(b) + corner[1];
                positions[k] = alongX ? Vector3f(u, v, 0) : Vector3f(0, v, u);
                normals[k] = alongX ? Vector3f(0, 0, -1) : Vector3f(-1, 0, 0);
                indices[k] = static_cast<std::uint32_t>(k);
                ++k;
            }
        }
    MeshStreams streams{{MeshData::Position, positions}, {MeshData::Normal, normals}};
    return std::make_unique<Mesh>(streams, indices, static_cast<std::int32_t>(kCount),
                                  static_cast<std::int32_t>(kCount), 4, nullptr);
}

void BM_Optimize(benchmark::State& state) {
    // The log goes to data/log.html of the working directory.
    std::filesystem::create_directories("data");
    const bool alongX = state.range(0) != 0;
    std::int64_t vertices = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto mesh = Sheet(alongX);
        vertices = mesh->VertexCount();
        state.ResumeTiming();
        mesh->Optimize(30.0f);
        benchmark::DoNotOptimize(mesh->Indices());
        state.PauseTiming();
        mesh.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * vertices);
}
// 1: spread along x (about a hundred vertices per bucket); 0: all x equal,
// the quadratic worst case of the one-dimensional hash.
BENCHMARK(BM_Optimize)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace
