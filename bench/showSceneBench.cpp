// The scene tool's work, which the build runs whenever the tool changes;
// it must stay well below 2 s.
#include "tools/generators/beast.h"
#include "tools/generators/groundHeight.h"
#include "tools/generators/showScene.h"

#include <benchmark/benchmark.h>

namespace {

// Everything "makeScene" writes, in memory.
void BM_ShowSceneFiles(benchmark::State& state) {
    for (auto _ : state) {
        auto files = kovra::tools::ShowSceneFiles();
        benchmark::DoNotOptimize(files.data());
    }
}
BENCHMARK(BM_ShowSceneFiles)->Unit(benchmark::kMillisecond);

// The terrain's surface that objects and cameras are placed on.
void BM_GroundHeight(benchmark::State& state) {
    for (auto _ : state) {
        kovra::tools::GroundHeight ground;
        benchmark::DoNotOptimize(ground.At(0.0f, 0.0f));
    }
}
BENCHMARK(BM_GroundHeight)->Unit(benchmark::kMillisecond);

void BM_BeastModel(benchmark::State& state) {
    for (auto _ : state) {
        auto mesh = kovra::tools::BeastModel();
        benchmark::DoNotOptimize(mesh.positions.data());
    }
}
BENCHMARK(BM_BeastModel)->Unit(benchmark::kMillisecond);

} // namespace
