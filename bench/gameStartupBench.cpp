// Start-up of the show: window and device, the scene module's Start (scene
// file, landscape, trees, grass, ribbon, render targets, every effect
// script and effect file) and the first pass of the main loop up to its
// Present. On the OpenGL device at 640x480 that is the time to the first
// presented frame with all content generated and all effects compiled; on
// the recording device it is generation and loading without the GPU
// driver's compiles. Shutdown is not measured.
#include "support/showSession.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

namespace {

using kovra::bench::DeviceKind;
using kovra::bench::ShowSession;

// Reports the process's CPU time too: the driver's and the music's threads
// as well as the main thread that the CPU column counts.
void StartToFirstFrame(benchmark::State& state, DeviceKind kind) {
    bool realData = false;
    double processSeconds = 0.0;
    for (auto _ : state) {
        const double start = kovra::bench::ProcessCpuSeconds();
        auto show = std::make_unique<ShowSession>(kind, 640, 480);
        show->Pass();
        processSeconds += kovra::bench::ProcessCpuSeconds() - start;
        state.PauseTiming();
        if (!show->Playable())
            state.SkipWithError("the scene did not load");
        realData = show->RealData();
        show.reset();
        state.ResumeTiming();
    }
    state.counters["process_cpu_ms"] =
        processSeconds / static_cast<double>(state.iterations()) * 1e3;
    state.SetLabel(realData ? "show data" : "stand-in data");
}

void BM_StartupOpenGl(benchmark::State& state) {
    StartToFirstFrame(state, DeviceKind::OpenGl);
}
BENCHMARK(BM_StartupOpenGl)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_StartupRecording(benchmark::State& state) {
    StartToFirstFrame(state, DeviceKind::Recording);
}
BENCHMARK(BM_StartupRecording)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace
