#pragma once

#include "effects-runtime/runtimeFixture.h"
#include "support/recordingQueue.h"
#include "support/steppedClock.h"

#include "tools/generators/showScene.h"

#include "engine/gfx/demoLoader.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/gfx/spatial.h"
#include "engine/platform/recordingDevice.h"

#include <filesystem>
#include <memory>

namespace kovra::test {

struct LoaderDeleter {
    void operator()(engine::gfx::DemoLoader* loader) const { loader->DestroyInstance(); }
};
using Loader = std::unique_ptr<engine::gfx::DemoLoader, LoaderDeleter>;

// The show's scene as the scene tool makes it, in a scratch data folder
// with the repository's effect files and the scene's effect scripts, loaded
// on the recording device.
class ShowSceneFixture : public ::testing::Test {
protected:
    ShowSceneFixture() : runtime(&device) {
        namespace fs = std::filesystem;
        const fs::path source = fs::path(KOVRA_SOURCE_DIR) / "data";
        for (const auto& entry : fs::directory_iterator(source / "fx"))
            fs::copy_file(entry.path(), "data/fx" / entry.path().filename(),
                          fs::copy_options::skip_existing);
        for (const kovra::tools::ShowFile& file : kovra::tools::ShowSceneFiles())
            RuntimeFixture::Write("data/" + file.path, file.bytes);
        for (const auto& entry : fs::directory_iterator(source / "tree.demo_scene"))
            if (entry.path().extension() == ".efx")
                fs::copy_file(entry.path(), "data/tree.demo_scene" / entry.path().filename());
        engine::gfx::SceneInfo::Get()->Start();
    }
    ~ShowSceneFixture() override { delete engine::gfx::SceneInfo::mInstance; }

    Loader Load() { return Loader(engine::gfx::DemoLoader::CreateInstance(L"data/tree.demo")); }

    // One pass of `seconds` through the loaded scene, as the renderer runs it.
    void Frame(engine::gfx::DemoLoader& loader, double seconds) {
        engine::gfx::SceneInfo::Get()->Update();
        clock.Step(seconds);
        loader.GetBaseNode()->Update(queue);
        queue.objects.clear();
    }

    engine::platform::RecordingDevice device;
    RuntimeFixture runtime;
    SteppedClock clock;
    RecordingQueue queue;
};

} // namespace kovra::test
