// The show on the OpenGL device at 640x480 (Mesa's llvmpipe where there is
// no GPU): frames per second over the whole show and the process's peak
// resident memory. The show is sampled every 5 s from 2.5 s to 122.5 s:
// the music is moved there, one pass settles, then 4 passes are timed.
// Each pass ends with glFinish, so a frame counts only once drawn. Also
// reports the process's CPU time per frame (the driver's rasteriser threads
// included), which a busy machine does not inflate.
#include "support/showSession.h"

#include <benchmark/benchmark.h>

#include <epoxy/gl.h>

#include <chrono>
#include <ctime>

namespace {

using kovra::bench::DeviceKind;
using kovra::bench::ShowSession;

constexpr int kTimedPasses = 4;

void BM_ShowFramesOpenGl(benchmark::State& state) {
    ShowSession show(DeviceKind::OpenGl, 640, 480);
    if (!show.Playable()) {
        state.SkipWithError("the scene did not load");
        return;
    }
    double drawn = 0.0, frames = 0.0, cpu = 0.0;
    for (auto _ : state) {
        double seconds = 0.0;
        for (double at = 2.5; at < 125.0; at += 5.0) {
            show.SeekTo(at);
            show.Pass();
            glFinish();
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = kovra::bench::ProcessCpuSeconds();
            for (int pass = 0; pass < kTimedPasses; ++pass) {
                show.Pass();
                glFinish();
            }
            seconds +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            cpu += kovra::bench::ProcessCpuSeconds() - cpuStart;
            frames += kTimedPasses;
        }
        drawn += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["frames/s"] = frames / drawn;
    state.counters["process_cpu_ms/frame"] = cpu / frames * 1e3;
    state.counters["peak_rss_MiB"] = kovra::bench::PeakResidentMiB();
    state.SetLabel(show.RealData() ? "show data" : "stand-in data");
}
BENCHMARK(BM_ShowFramesOpenGl)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

} // namespace
