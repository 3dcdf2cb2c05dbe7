#include "engine/core/kernel.h"
#include "engine/core/log.h"

#include "support/allocationCounter.h"

#include <benchmark/benchmark.h>

namespace {

class Idle : public engine::core::Module {
public:
    explicit Idle(int priority) { Priority(priority); }
    void Start() override {}
    void Update() override { benchmark::DoNotOptimize(this); }
    void Kill() override {}
};

// One pass over the six modules a running demo has; reports heap
// allocations per pass, which must stay at zero.
void KernelPass(benchmark::State& state) {
    Idle modules[] = {Idle(1), Idle(10), Idle(200), Idle(12000), Idle(12500), Idle(14000)};
    int key = 0;
    for (Idle& m : modules)
        engine::core::Kernel::Get()->AddModule(&m, ++key);
    const long before = kovra::bench::AllocationCount();
    for (auto _ : state)
        engine::core::Kernel::Get()->Pass();
    state.counters["allocs/pass"] =
        benchmark::Counter(static_cast<double>(kovra::bench::AllocationCount() - before) /
                           static_cast<double>(state.iterations()));
    delete engine::core::Kernel::Get();
}
BENCHMARK(KernelPass);

} // namespace
