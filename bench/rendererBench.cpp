// One renderer frame on the recording device (recording off): traversal,
// submission, the sort by priority / target / effect / technique, batching
// and the draw calls of N objects spread over 20 effects. Reports the time
// per object and the heap allocations per frame.
#include "engine/core/Window.h"
#include "engine/core/input.h"
#include "engine/core/log.h"
#include "engine/core/screen.h"
#include "engine/core/timer.h"
#include "engine/gfx/effect.h"
#include "engine/gfx/node.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/renderer.h"
#include "engine/gfx/shader.h"
#include "engine/platform/recordingDevice.h"

#include "support/allocationCounter.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

constexpr int kEffects = 20;

const char* const kEffectText = R"(float4x4 worldViewProjection : WorldViewProjection;
float4x4 world : World;
vertexshader plainVS {
    void main() {
        gl_Position = POSITION * worldViewProjection;
    }
}
technique A { pass P0 { VertexShader = compile vs_1_1 plainVS(); PixelShader = NULL; } }
technique B { pass P0 { VertexShader = compile vs_1_1 plainVS(); PixelShader = NULL; } }
technique C { pass P0 { VertexShader = compile vs_1_1 plainVS(); PixelShader = NULL; } }
technique D { pass P0 { VertexShader = compile vs_1_1 plainVS(); PixelShader = NULL; } }
)";

// A drawable that submits its object every frame unless it lies behind the
// camera: a stand-in for geometry and its frustum test.
class Drawable : public engine::gfx::Spatial {
public:
    Drawable(std::shared_ptr<engine::gfx::RenderObject> object, float z)
        : Spatial(nullptr), mObject(std::move(object)), mZ(z) {}
    void Update(engine::gfx::RenderQueue& queue) override {
        if (mZ > 0.0f)
            queue.Submit(mObject);
    }

private:
    std::shared_ptr<engine::gfx::RenderObject> mObject;
    float mZ;
};

struct Scene {
    Scene() {
        const auto folder = std::filesystem::temp_directory_path() / "kovra-renderer-bench";
        std::filesystem::create_directories(folder / "data/fx");
        std::filesystem::current_path(folder);
        std::ofstream("data/fx/bench.fx") << kEffectText;
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        engine::core::CWin32Window::SetDeviceFactory(
            [this](SDL_Window*, const engine::platform::PresentParameters& parameters) {
                auto made = std::make_unique<engine::platform::RecordingDevice>();
                made->Reset(parameters);
                made->SetRecording(false);
                device = made.get();
                return made;
            });
        screen.Create(engine::WindowSettings{});
        engine::core::Input::Get()->Clear();
        renderer.SetSleepFunction([](std::chrono::milliseconds) {});
        renderer.Start();
        for (int i = 0; i < kEffects; ++i) {
            engine::gfx::PassDescription pass;
            pass.priority = i / 4;
            pass.effectFile = "bench.fx";
            pass.technique = std::string(1, static_cast<char>('A' + i % 4));
            // Every other priority draws into a target, as glow chains do.
            if (pass.priority % 2 == 1) {
                pass.hasColorTarget = true;
                pass.colorTarget = "target" + std::to_string(pass.priority);
            }
            auto effect = std::make_shared<engine::gfx::Effect>();
            effect->AddShader(std::make_shared<engine::gfx::Shader>(pass, "data/fx/bench.fx"));
            effect->Bind();
            effects.push_back(effect);
        }
    }

    void Build(int objects) {
        auto root = std::make_shared<engine::gfx::Node>(nullptr);
        for (int i = 0; i < objects; ++i) {
            auto object = std::make_shared<engine::gfx::RenderObject>();
            // Scattered over the effects so that the sort has work to do.
            object->effect = effects[static_cast<std::size_t>((i * 7) % kEffects)];
            object->vertexCount = 24;
            object->primitiveCount = 12;
            // One object in 16 lies behind the camera and is culled.
            root->AddChild(std::make_shared<Drawable>(object, i % 16 == 0 ? -1.0f : 1.0f));
        }
        renderer.SetRootNode(root);
    }

    engine::core::CScreen screen;
    engine::platform::RecordingDevice* device = nullptr;
    engine::gfx::Renderer renderer;
    std::vector<std::shared_ptr<engine::gfx::Effect>> effects;
};

Scene& TheScene() {
    static Scene* scene = new Scene;
    return *scene;
}

void RendererFrame(benchmark::State& state) {
    Scene& scene = TheScene();
    const int objects = static_cast<int>(state.range(0));
    scene.Build(objects);
    scene.renderer.Update(); // the queue and batch reach their size
    const long before = kovra::bench::AllocationCount();
    for (auto _ : state)
        scene.renderer.Update();
    const double frames = static_cast<double>(state.iterations());
    state.counters["allocs/frame"] =
        static_cast<double>(kovra::bench::AllocationCount() - before) / frames;
    state.counters["us/object"] = benchmark::Counter(
        frames * objects, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetComplexityN(objects);
}
BENCHMARK(RendererFrame)
    ->Arg(500)
    ->Arg(2000)
    ->Arg(8000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity();

} // namespace
