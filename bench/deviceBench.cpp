#include "engine/platform/glDevice.h"
#include "engine/platform/recordingDevice.h"
#include "engine/platform/sdlWindow.h"

#include "support/allocationCounter.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using namespace engine::platform;

// Clear and Present of a 1024x768 frame on the OpenGL device (offscreen:
// Mesa's software rasteriser where there is no GPU).
void GlClearPresent(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    SdlWindow window(WindowDescription{L"deviceBench", 1024, 768});
    auto device = GlDevice::Create(window.Handle(), PresentParameters{});
    std::uint32_t colour = 0xFF000000;
    for (auto _ : state) {
        device->BeginScene();
        device->Clear(ClearTarget | ClearZBuffer, colour++, 1.0f, 0);
        device->EndScene();
        if (device->Present() != Result::Ok)
            state.SkipWithError("Present failed");
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(GlClearPresent)->Unit(benchmark::kMillisecond)->UseRealTime();

// One draw as a shader issues it: a matrix, the geometry, the draw. Reports
// heap allocations per draw, which must stay at zero.
void RecordingDraw(benchmark::State& state) {
    RecordingDevice device;
    device.SetRecording(state.range(0) != 0);
    auto vertices = device.CreateVertexBuffer(1024, BufferUsage::Static);
    auto indices = device.CreateIndexBuffer(1024, IndexFormat::Index16, BufferUsage::Static);
    ProgramResult program = device.CreateProgram(
        {"#version 330 core\nuniform mat4 WorldViewProjection;\n", "#version 330 core\n", {}});
    const float matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    device.BeginScene();
    device.SetUniform(program.program.get(), 0, UniformType::Float4x4, matrix); // first store
    const long before = kovra::bench::AllocationCount();
    for (auto _ : state) {
        if (device.Calls().size() + 4 > 4096)
            device.ClearCalls(); // keeps the reserved capacity
        device.SetUniform(program.program.get(), 0, UniformType::Float4x4, matrix);
        device.SetStreamSource(vertices.get(), 0, 32);
        device.SetIndices(indices.get());
        benchmark::DoNotOptimize(
            device.DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 24, 0, 12));
    }
    state.counters["allocs/draw"] =
        benchmark::Counter(static_cast<double>(kovra::bench::AllocationCount() - before) /
                           static_cast<double>(state.iterations()));
}
BENCHMARK(RecordingDraw)->Arg(1)->Arg(0)->ArgName("recording");

} // namespace
