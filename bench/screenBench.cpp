#include "engine/core/Window.h"
#include "engine/core/input.h"
#include "engine/core/log.h"
#include "engine/core/screen.h"
#include "engine/platform/recordingDevice.h"

#include "support/allocationCounter.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// One screen-module pass with no window events waiting, on the offscreen
// driver; reports heap allocations per pass, which must stay at zero.
void ScreenPassWithoutEvents(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    engine::core::CWin32Window::SetDeviceFactory(
        [](SDL_Window*, const engine::platform::PresentParameters& parameters) {
            auto device = std::make_unique<engine::platform::RecordingDevice>();
            device->Reset(parameters);
            return device;
        });
    engine::core::CScreen screen;
    screen.Create(engine::WindowSettings{});
    screen.Update(); // drains the events of the window's creation
    const long before = kovra::bench::AllocationCount();
    for (auto _ : state)
        screen.Update();
    state.counters["allocs/pass"] =
        benchmark::Counter(static_cast<double>(kovra::bench::AllocationCount() - before) /
                           static_cast<double>(state.iterations()));
    screen.Kill();
    delete engine::core::CWin32Window::mInstance;
    delete engine::core::Input::mInstance;
}
BENCHMARK(ScreenPassWithoutEvents);

} // namespace
