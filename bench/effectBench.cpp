// Cost of reading effect descriptions at load time: one typical effect file
// and one typical effect script.
#include "engine/core/log.h"
#include "engine/gfx/effectFileGlsl.h"
#include "engine/gfx/effectFileParser.h"
#include "engine/gfx/effectScript.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// The examples beside the effect tests, found from this file's own path.
const std::filesystem::path kExamples =
    std::filesystem::path(__FILE__).parent_path().parent_path() / "tests/effects/data";
const std::string kExampleFx = (kExamples / "example.fx").string();
const std::string kExampleScript = (kExamples / "example.efx").string();

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The log lands in a throw-away folder.
void UseScratchFolder() {
    const auto folder = std::filesystem::temp_directory_path() / "kovra-effect-bench";
    std::filesystem::create_directories(folder / "data");
    std::filesystem::current_path(folder);
}

void ParseEffectFileText(benchmark::State& state) {
    UseScratchFolder();
    const std::string text = ReadText(kExampleFx);
    for (auto _ : state)
        benchmark::DoNotOptimize(engine::gfx::ParseEffectText("example.fx", text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseEffectFileText);

void GeneratePassGlsl(benchmark::State& state) {
    UseScratchFolder();
    const auto effect = engine::gfx::ParseEffectText("example.fx", ReadText(kExampleFx));
    const auto& pass = effect.techniques.front().passes.front();
    for (auto _ : state)
        benchmark::DoNotOptimize(engine::gfx::GenerateGlsl(effect, pass));
}
BENCHMARK(GeneratePassGlsl);

void RunEffectScript(benchmark::State& state) {
    UseScratchFolder();
    const engine::gfx::ScriptResourceLoader loader = [](engine::gfx::ScriptResource,
                                                        const std::wstring&) {
        return std::shared_ptr<engine::core::resources::Resource>();
    };
    for (auto _ : state)
        benchmark::DoNotOptimize(engine::gfx::ParseMaterialScript(kExampleScript, loader));
}
BENCHMARK(RunEffectScript);

} // namespace
