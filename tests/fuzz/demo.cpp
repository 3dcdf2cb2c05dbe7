// Reads any bytes as a ".demo" scene file, builds the scene and plays a few
// frames of it: no input may crash, hang or allocate without bound.
#include "fuzz/fuzzSupport.h"

#include "engine/core/exception.h"
#include "engine/core/timer.h"
#include "engine/gfx/demoLoader.h"
#include "engine/gfx/renderQueue.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/gfx/spatial.h"
#include "engine/platform/musicStream.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

namespace {

// The clock moves by whatever the target sets before each frame.
double gPosition = 0.0;

class FuzzMusic : public engine::platform::MusicStream {
public:
    void Play() override {}
    void Pause() override {}
    void Stop() override {}
    double Position() override { return gPosition; }
    void SetPosition(double seconds) override { gPosition = seconds; }
};

class NoRenderer : public engine::gfx::RenderQueue {
public:
    void Submit(std::shared_ptr<engine::gfx::RenderObject>) override {}
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kovra::fuzz::EnterScratchFolder();
    engine::platform::SetMusicOpener(
        [](const std::string&) { return std::make_unique<FuzzMusic>(); });
    engine::core::Timer::Get()->Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace engine::gfx;
    // Meshes the file names would be read from "fuzz.demo_scene/", which
    // does not exist: they fail like missing files.
    std::ofstream("fuzz.demo", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    try {
        DemoLoader* loader = DemoLoader::CreateInstance(L"fuzz.demo");
        const std::shared_ptr<Spatial> root = loader->GetBaseNode();
        loader->DestroyInstance();
        NoRenderer queue;
        for (const double seconds : {0.0, 0.04, 1.0, 100.0, -3.0}) {
            gPosition += seconds;
            engine::core::Timer::Get()->Update();
            SceneInfo::Get()->Update();
            root->Update(queue);
        }
    } catch (const engine::core::Exception&) {
    }
    SceneInfo::Get()->Update();
    return 0;
}
