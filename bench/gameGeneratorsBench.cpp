#include "game/landscape.h"
#include "game/randomTable.h"
#include "game/treeBuilder.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_RandomTableFill(benchmark::State& state) {
    std::vector<std::uint32_t> first(randomTable::kSize);
    std::vector<std::uint32_t> second(randomTable::kSize);
    for (auto _ : state) {
        randomTable::FillSequence(first.data(), 2);
        randomTable::FillSequence(second.data(), first.back());
        benchmark::DoNotOptimize(second.data());
    }
}
BENCHMARK(BM_RandomTableFill)->Unit(benchmark::kMillisecond);

// Terrain patches, grass batches and tree positions.
void BM_Landscape(benchmark::State& state) {
    randomTable::Fill();
    for (auto _ : state) {
        Landscape landscape = GenerateLandscape();
        benchmark::DoNotOptimize(landscape.trees.data());
    }
}
BENCHMARK(BM_Landscape)->Unit(benchmark::kMillisecond);

// Ten variants at two levels of detail: twenty wood and twenty leaf meshes.
void BM_AllTreeMeshes(benchmark::State& state) {
    randomTable::Fill();
    for (auto _ : state)
        for (int v = 0; v < nature::kVariants; ++v) {
            nature::TreeVariant variant = nature::BuildTreeVariant(v);
            benchmark::DoNotOptimize(variant.low.leaves.positions.data());
        }
}
BENCHMARK(BM_AllTreeMeshes)->Unit(benchmark::kMillisecond);

} // namespace
