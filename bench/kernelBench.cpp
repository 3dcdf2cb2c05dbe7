#include "engine/core/kernel.h"
#include "engine/core/log.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> gAllocations{0};

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
    const long before = gAllocations.load();
    for (auto _ : state)
        engine::core::Kernel::Get()->Pass();
    state.counters["allocs/pass"] =
        benchmark::Counter(static_cast<double>(gAllocations.load() - before) /
                           static_cast<double>(state.iterations()));
    delete engine::core::Kernel::Get();
}
BENCHMARK(KernelPass);

} // namespace

void* operator new(std::size_t size) {
    ++gAllocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
