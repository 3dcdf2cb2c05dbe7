// The whole start of the show's scene on the recording device: render
// targets, scene file, landscape, all tree meshes and their placement, the
// ribbon and the schedule, with small stand-in data. The engine is set up
// and shut down outside the measured time.
#include "game/testScene1.h"

#include "engine/core/Window.h"
#include "engine/platform/messageBox.h"
#include "engine/platform/recordingDevice.h"
#include "engine/wrapper/wrapper.h"
#include "tests/support/tinyShow.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

void BM_TestScene1Start(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    kovra::test::ScratchDir dir;
    kovra::test::WriteTinyShow();
    engine::platform::SetMessageBoxHandler([](const engine::platform::MessageBoxRequest&) {});
    engine::core::CWin32Window::SetDeviceFactory([](SDL_Window*, const auto& parameters) {
        auto device = std::make_unique<engine::platform::RecordingDevice>();
        device->Reset(parameters);
        return device;
    });
    for (auto _ : state) {
        state.PauseTiming();
        engine::CreateKOVRAWindow(engine::WindowSettings{});
        TestScene1 scene;
        state.ResumeTiming();
        engine::AddModule(&scene, 10100);
        state.PauseTiming();
        if (!scene.HasScene())
            state.SkipWithError("the scene did not load");
        engine::QuitApplication();
        engine::StartApplication();
        state.ResumeTiming();
    }
    engine::core::CWin32Window::SetDeviceFactory({});
    engine::platform::SetMessageBoxHandler({});
}
BENCHMARK(BM_TestScene1Start)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
