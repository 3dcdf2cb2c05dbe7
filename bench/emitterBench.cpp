// Particle emitters per frame: spawning, moving and writing every particle
// into the vertex buffer, on a recording device (the buffer is plain memory).
#include "support/allocationCounter.h"

#include "engine/core/graphicsDevice.h"
#include "engine/gfx/curveEmitter.h"
#include "engine/gfx/emitter.h"
#include "engine/gfx/node.h"
#include "engine/gfx/renderQueue.h"
#include "engine/platform/recordingDevice.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

using namespace engine::gfx;

namespace {

// Keeps the last submission only, as the renderer's queue does per frame.
class LastObjectQueue : public RenderQueue {
public:
    void Submit(std::shared_ptr<RenderObject> object) override { last = std::move(object); }
    std::shared_ptr<RenderObject> last;
};

struct Scene {
    Scene() {
        std::filesystem::create_directories("data"); // the log's folder
        device.SetRecording(false);
        engine::core::SetGraphicsDevice(&device);
        root->AddChild(parent);
    }
    ~Scene() { engine::core::SetGraphicsDevice(nullptr); }

    // A full ring that spawns a few particles every 60 Hz frame.
    static EmitterInfo Info(int particles) {
        EmitterInfo info;
        info.capacity = particles;
        info.initialCount = particles;
        info.interval = 0.004f;
        info.velocitySpread = {1, 1, 1};
        info.acceleration = {0, -1, 0};
        info.colorVelocity = {0, 0, 0, -0.2f};
        info.spin = 1.0f;
        info.growth = 0.1f;
        return info;
    }

    engine::platform::RecordingDevice device;
    std::shared_ptr<Node> root = std::make_shared<Node>(nullptr);
    std::shared_ptr<Node> parent = std::make_shared<Node>(root.get());
    LastObjectQueue queue;
};

constexpr float kFrame = 1.0f / 60.0f;

template <typename Kind> void Frames(benchmark::State& state) {
    Scene scene;
    const int particles = static_cast<int>(state.range(0));
    Kind emitter(scene.parent.get(), Scene::Info(particles));
    emitter.Advance(kFrame);
    emitter.Update(scene.queue);
    const long before = kovra::bench::AllocationCount();
    for (auto _ : state) {
        emitter.Advance(kFrame); // Update's own step reads the timer, which stands still here
        emitter.Update(scene.queue);
        benchmark::DoNotOptimize(scene.queue.last.get());
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["allocs/frame"] =
        static_cast<double>(kovra::bench::AllocationCount() - before) / frames;
    state.counters["time/particle"] = benchmark::Counter(
        frames * particles, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void EmitterFrame(benchmark::State& state) {
    Frames<Emitter>(state);
}
BENCHMARK(EmitterFrame)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void CurveEmitterFrame(benchmark::State& state) {
    Frames<CurveEmitter>(state);
}
BENCHMARK(CurveEmitterFrame)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
