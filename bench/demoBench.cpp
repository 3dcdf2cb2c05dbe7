#include "engine/core/graphicsDevice.h"
#include "engine/core/kernel.h"
#include "engine/core/resourceManager.h"
#include "engine/core/timer.h"
#include "engine/gfx/animationCamera.h"
#include "engine/gfx/compiledEffect.h"
#include "engine/gfx/demoLoader.h"
#include "engine/gfx/effectPool.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/renderQueue.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/platform/musicStream.h"
#include "engine/platform/recordingDevice.h"
#include "support/allocationCounter.h"

#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using namespace engine::gfx;

namespace {

// Little-endian ".demo" writer.
struct Bytes {
    std::string s;
    Bytes& U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s += static_cast<char>((v >> (8 * i)) & 0xff);
        return *this;
    }
    Bytes& Float(float f) { return U32(std::bit_cast<std::uint32_t>(f)); }
    Bytes& String(const std::string& text) {
        U32(static_cast<std::uint32_t>(text.size()));
        s += text;
        return *this;
    }
    Bytes& Object(const std::string& kind, const std::string& name, const std::string& data,
                  const std::string& parent, float place) {
        String(kind).String(name).String(data).String(parent);
        for (int i = 0; i < 6; ++i)
            Float(place);
        return *this;
    }
    // A looping Bezier curve of 30 keys, like an exported channel.
    Bytes& Curve(const std::string& channel, float phase) {
        String(channel).String("Bezier").String("Cyclic").U32(30);
        for (int k = 0; k < 30; ++k) {
            const float t = 1.0f + 4.0f * static_cast<float>(k);
            const float v = std::sin(phase + 0.3f * static_cast<float>(k));
            Float(t - 1).Float(v - 0.1f).Float(t).Float(v).Float(t + 1).Float(v + 0.1f);
        }
        return *this;
    }
};

// A camera and 200 animated objects, every fourth one the child of the one
// before, each with location and rotation curves and a layer curve.
std::string AnimatedScene() {
    Bytes file;
    file.s = "DEMO";
    file.U32(201).U32(3000);
    file.Object("Camera", "cam", "", "", 0).U32(2).Curve("LocZ", 0).Curve("RotY", 1);
    for (int o = 0; o < 200; ++o) {
        const std::string parent = o % 4 == 3 ? "obj" + std::to_string(o - 1) : "";
        const float phase = static_cast<float>(o);
        file.Object("Empty", "obj" + std::to_string(o), "", parent, static_cast<float>(o % 7));
        file.U32(4).Curve("LocX", phase).Curve("LocY", phase + 1).Curve("RotZ", phase + 2);
        file.Curve("Layer", phase + 3);
    }
    return file.s;
}

// 200 objects: a camera, 50 meshes of their own, 20 lamps and empties; half
// of them animated by two curves.
std::string MeshScene() {
    Bytes file;
    file.s = "DEMO";
    file.U32(200).U32(3000);
    file.Object("Camera", "cam", "", "", 0).U32(0);
    for (int o = 1; o < 200; ++o) {
        const std::string name = "obj" + std::to_string(o);
        const float phase = static_cast<float>(o);
        if (o <= 50)
            file.Object("Mesh", name, "mesh" + std::to_string(o - 1), "", phase);
        else
            file.Object(o <= 70 ? "Lamp" : "Empty", name, "", o % 3 ? "" : "obj1", phase);
        if (o % 2)
            file.U32(2).Curve("LocX", phase).Curve("RotY", phase);
        else
            file.U32(0);
    }
    return file.s;
}

// A 20 x 20 grid of vertices, two triangles per cell.
std::string GridMesh() {
    Bytes file;
    file.s = "KOVR";
    constexpr int kSide = 20;
    file.U32(3).U32(kSide * kSide * 12);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            file.Float(static_cast<float>(x))
                .Float(std::sin(0.3f * static_cast<float>(x + y)))
                .Float(static_cast<float>(y));
    constexpr int kCells = (kSide - 1) * (kSide - 1);
    file.U32(4).U32(4 + kCells * 6 * 4).U32(4);
    for (int y = 0; y + 1 < kSide; ++y)
        for (int x = 0; x + 1 < kSide; ++x) {
            const std::uint32_t i = static_cast<std::uint32_t>(y * kSide + x);
            for (std::uint32_t index : {i, i + kSide, i + 1, i + 1, i + kSide, i + kSide + 1})
                file.U32(index);
        }
    file.U32(9);
    return file.s;
}

const char* const kEffectFile = R"(float4x4 worldViewProjection : WorldViewProjection;

vertexshader plainVS {
    void main() {
        gl_Position = POSITION * worldViewProjection;
    }
}

technique Plain {
    pass P0 {
        VertexShader = compile vs_1_1 plainVS();
        PixelShader = NULL;
    }
}
)";

const char* const kEffectScript =
    "effect = { { priority = 1, pass = { { priority = 1, fx = \"bench\", tec = \"Plain\", "
    "params = {}, streams = { \"pos\", \"normal\" } } } } }";

// A music stream that moves one 25th of a second each time it is read.
class FrameStream : public engine::platform::MusicStream {
public:
    void Play() override {}
    void Pause() override {}
    void Stop() override {}
    double Position() override { return mPosition += 0.04; }
    void SetPosition(double seconds) override { mPosition = seconds; }

private:
    double mPosition = 0.0;
};

class NoRenderer : public RenderQueue {
public:
    void Submit(std::shared_ptr<RenderObject>) override {}
};

void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A fresh folder as the working folder, with the scene file written.
void WriteScene(const std::string& bytes) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "kovra-demo-bench";
    fs::remove_all(dir);
    fs::create_directories(dir / "data");
    fs::current_path(dir);
    Write("data/bench.demo", bytes);
}

// Reading the scene file, its 50 meshes and their effects, building the
// graph. Every load starts without cached meshes or effects.
void LoadSceneWithMeshes(benchmark::State& state) {
    WriteScene(MeshScene());
    Write("data/fx/bench.fx", kEffectFile);
    const std::string mesh = GridMesh();
    for (int m = 0; m < 50; ++m) {
        const std::string path = "data/bench.demo_scene/mesh" + std::to_string(m) + ".kvr";
        Write(path, mesh);
        Write(path + ".efx", kEffectScript);
    }
    engine::platform::RecordingDevice device;
    engine::core::SetGraphicsDevice(&device);
    auto forget = [] {
        delete EffectPool::mInstance;
        delete engine::core::ResourceManager::mInstance;
        SharedParameterPool::Instance().Clear();
        LastBoundGeometry().Reset();
    };
    for (auto _ : state) {
        DemoLoader* loader = DemoLoader::CreateInstance(L"data/bench.demo");
        state.PauseTiming();
        loader->DestroyInstance();
        forget();
        device.ClearCalls();
        state.ResumeTiming();
    }
    engine::core::SetGraphicsDevice(nullptr);
    delete engine::core::Kernel::mInstance;
}
BENCHMARK(LoadSceneWithMeshes)->Unit(benchmark::kMillisecond);

// One frame of the animated scene: the camera's view and frustum, then 200
// animation nodes advancing and rebuilding their placement.
void AnimationCameraFrame(benchmark::State& state) {
    WriteScene(AnimatedScene());
    DemoLoader* loader = DemoLoader::CreateInstance(L"data/bench.demo");
    engine::platform::SetMusicOpener(
        [](const std::string&) { return std::make_unique<FrameStream>(); });
    engine::core::Timer::Get()->Start();
    NoRenderer queue;
    std::shared_ptr<Spatial> root = loader->GetBaseNode();
    auto frame = [&] {
        engine::core::Timer::Get()->Update();
        root->Update(queue);
        SceneInfo::Get()->Update();
    };
    frame(); // the frame lists reach their size
    const long before = kovra::bench::AllocationCount();
    for (auto _ : state)
        frame();
    state.counters["allocs/frame"] =
        benchmark::Counter(static_cast<double>(kovra::bench::AllocationCount() - before) /
                           static_cast<double>(state.iterations()));
    loader->DestroyInstance();
    delete engine::core::Timer::mInstance;
    delete SceneInfo::mInstance;
    engine::platform::SetMusicOpener({});
}
BENCHMARK(AnimationCameraFrame);

} // namespace
