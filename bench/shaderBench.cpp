// Per-draw cost of a shader (no lookups, no heap allocation) and the load-time
// cost of compiling a typical effect file.
#include "engine/core/fxEffect.h"
#include "engine/core/graphicsDevice.h"
#include "engine/core/log.h"
#include "engine/core/resourceManager.h"
#include "engine/gfx/compiledEffect.h"
#include "engine/gfx/effectFileParser.h"
#include "engine/gfx/effectScript.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/shader.h"
#include "engine/platform/recordingDevice.h"

#include "support/allocationCounter.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace engine;

const char* const kFx = R"(float4x4 world : World;
float4x4 wvp : WorldViewProjection;
float time : Time;
float4 light : Light0;
float4x4 texAdj : TexAdj;
float4 a; float4 b; float4 c;
float3 d; float3 e;
float2 f; float2 g;
float h; float i;
bool j;
vertexshader vs { void main() { gl_Position = POSITION * world * wvp * texAdj + light * time; } }
pixelshader ps {
    void main() { COLOR0 = a + b + c + vec4(d + e, h) + vec4(f, g) * i * (j ? 1.0 : 0.0); }
}
technique T { pass { VertexShader = compile vs_2_0 vs(); PixelShader = compile ps_2_0 ps(); } }
)";

const char* const kScript = R"(effect = { { pass = { { fx = "bench", tec = "T", params = {
    { "float4", "a", { 1, 2, 3, 4 } }, { "float4", "b", { 1, 2, 3, 4 } }, { "float4", "c", { 1, 2, 3, 4 } },
    { "float3", "d", { 1, 2, 3 } }, { "float3", "e", { 1, 2, 3 } },
    { "float2", "f", { 1, 2 } }, { "float2", "g", { 1, 2 } },
    { "float", "h", 1 }, { "int", "i", 2 }, { "bool", "j", true },
}, streams = { "pos" } } } } })";

// Files and log in a throw-away folder.
void UseScratchFolder() {
    const auto folder = std::filesystem::temp_directory_path() / "kovra-shader-bench";
    std::filesystem::create_directories(folder / "data/fx");
    std::filesystem::current_path(folder);
    std::ofstream("data/fx/bench.fx") << kFx;
    std::ofstream("data/bench.efx") << kScript;
}

void ShaderRender(benchmark::State& state) {
    UseScratchFolder();
    platform::RecordingDevice device;
    device.SetRecording(false);
    device.BeginScene();
    core::SetGraphicsDevice(&device);
    {
        const auto variants = gfx::ParseMaterialScript("data/bench.efx", {});
        gfx::Shader shader(variants.at(0).passes.at(0), "data/fx/bench.fx");
        shader.BindParameters();
        auto vertices = device.CreateVertexBuffer(48, platform::BufferUsage::Static);
        auto indices = device.CreateIndexBuffer(6, platform::IndexFormat::Index16,
                                                platform::BufferUsage::Static);
        gfx::RenderObject object;
        object.vertexBuffer = vertices.get();
        object.indexBuffer = indices.get();
        object.vertexCount = 3;
        object.primitiveCount = 1;
        object.vertexSize = 16;
        shader.BeginPass(0);
        shader.Render(object); // the device's uniform records reach their size
        const long before = kovra::bench::AllocationCount();
        for (auto _ : state)
            shader.Render(object);
        if (kovra::bench::AllocationCount() != before)
            state.SkipWithError("Shader::Render allocated on the heap");
        shader.EndPass();
        state.counters["semantics"] = static_cast<double>(shader.SemanticBindings().size());
    }
    delete core::ResourceManager::mInstance;
    core::SetGraphicsDevice(nullptr);
}
BENCHMARK(ShaderRender);

void ParseAndCompileEffectFile(benchmark::State& state) {
    UseScratchFolder();
    platform::RecordingDevice device;
    device.SetRecording(false);
    for (auto _ : state) {
        std::string errors;
        auto effect =
            gfx::CompiledEffect::Create(device, gfx::ParseEffectFile("data/fx/bench.fx"), errors);
        if (!effect)
            state.SkipWithError(errors.c_str());
        benchmark::DoNotOptimize(effect);
    }
    gfx::SharedParameterPool::Instance().Clear();
}
BENCHMARK(ParseAndCompileEffectFile);

} // namespace
