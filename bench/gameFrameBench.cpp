// Engine CPU time per frame of the show on the recording device (recording
// off, so the device costs next to nothing): the scene module, animation,
// culling, submission, the renderer's sort and batching, parameter binding
// and every device call of the frame, passes of the main loop as the game
// runs them. The argument is the show time the run starts at; the show
// then plays on at the music's pace. Reports the draws per frame.
#include "support/showSession.h"

#include "engine/platform/recordingDevice.h"

#include <benchmark/benchmark.h>

namespace {

using kovra::bench::DeviceKind;
using kovra::bench::ShowSession;

void BM_ShowFrameCpu(benchmark::State& state) {
    ShowSession show(DeviceKind::Recording, 640, 480);
    if (!show.Playable()) {
        state.SkipWithError("the scene did not load");
        return;
    }
    auto& device = static_cast<engine::platform::RecordingDevice&>(show.Device());
    // Draws of one pass; none once the show has ended.
    auto draws = [&] {
        device.ClearCalls();
        device.SetRecording(true);
        show.Pass();
        device.SetRecording(false);
        using Call = engine::platform::RecordingDevice::Call;
        const std::size_t count =
            device.Count(Call::DrawIndexedPrimitive) + device.Count(Call::DrawPrimitive);
        device.ClearCalls();
        return count;
    };
    show.SeekTo(static_cast<double>(state.range(0)));
    show.Pass();
    const std::size_t drawsAtStart = draws();

    for (auto _ : state)
        show.Pass();
    if (draws() == 0)
        state.SkipWithError("the show ended during the run");
    state.counters["draws"] = static_cast<double>(drawsAtStart);
    state.SetLabel(show.RealData() ? "show data" : "stand-in data");
}
BENCHMARK(BM_ShowFrameCpu)
    ->Arg(10)
    ->Arg(50)
    ->Arg(90)
    ->ArgName("show_s")
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(2.0);

} // namespace
