#include "engine/core/Window.h"
#include "engine/core/input.h"
#include "engine/core/kernel.h"
#include "engine/core/resourceManager.h"
#include "engine/core/timer.h"
#include "engine/gfx/effectPool.h"
#include "engine/gfx/renderer.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/gfx/spatial.h"
#include "engine/platform/messageBox.h"
#include "engine/platform/musicStream.h"
#include "engine/platform/recordingDevice.h"
#include "engine/wrapper/wrapper.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace kovra::test;
namespace core = engine::core;

namespace {

// Quits the application from its third update and remembers the clock.
class Scene : public core::Module {
public:
    Scene() {
        Name(L"TestScene1");
        Priority(200);
    }
    void Start() override {
        if (onStart)
            onStart();
    }
    void Update() override {
        times.push_back(engine::GetTime());
        if (++passes == 3)
            engine::QuitApplication();
    }
    void Kill() override { killed = true; }

    int passes = 0;
    bool killed = false;
    std::vector<double> times;
    std::function<void()> onStart;
};

// Which of the engine's single objects exist, in the order StartApplication
// deletes them after the main loop.
std::string Alive() {
    std::string alive;
    auto note = [&alive](const void* instance, const char* name) {
        if (instance)
            alive += (alive.empty() ? "" : " ") + std::string(name);
    };
    note(engine::gfx::SceneInfo::mInstance, "SceneInfo");
    note(core::Timer::mInstance, "Timer");
    note(engine::gfx::EffectPool::mInstance, "EffectPool");
    note(core::CWin32Window::mInstance, "Window");
    note(core::ResourceManager::mInstance, "ResourceManager");
    note(core::Kernel::mInstance, "Kernel");
    return alive;
}

// What each observer saw alive when it was destroyed.
std::vector<std::string> gDeletions;

// Owned by the timer: destroyed when the timer is deleted.
class ObservedMusic : public engine::platform::MusicStream {
public:
    ~ObservedMusic() override { gDeletions.push_back("music: " + Alive()); }
    void Play() override {}
    void Pause() override {}
    void Stop() override {}
    double Position() override { return position += 0.25; }
    void SetPosition(double seconds) override { position = seconds; }
    double position = 0.0;
};

// Owned by the renderer once it is the root: destroyed with the renderer.
class ObservedRoot : public engine::gfx::Spatial {
public:
    ObservedRoot() : Spatial(nullptr) {}
    ~ObservedRoot() override { gDeletions.push_back("root: " + Alive()); }
    void Update(engine::gfx::RenderQueue&) override {}
};

// Owned by the resource manager: destroyed when the manager is deleted.
class ObservedResource : public core::resources::UnmanagedResource {
public:
    ObservedResource() : UnmanagedResource(L"observed") {}
    ~ObservedResource() override { gDeletions.push_back("resource: " + Alive()); }
    void Create() override {}
    void Release() override {}
    void OnLostDevice() override {}
    void OnResetDevice() override {}
};

TEST(Application, RunsThePassesThenDeletesEveryEngineObject) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::vector<engine::platform::MessageBoxRequest> boxes;
    auto previous = engine::platform::SetMessageBoxHandler(
        [&](const engine::platform::MessageBoxRequest& r) { boxes.push_back(r); });
    core::CWin32Window::SetDeviceFactory([](SDL_Window*, const auto& parameters) {
        auto device = std::make_unique<engine::platform::RecordingDevice>();
        device->Reset(parameters);
        return device;
    });
    LogCapture log;
    EXPECT_EQ(engine::GetTime(), 0.0);
    EXPECT_EQ(engine::GetSinceLast(), 0.0);
    EXPECT_FALSE(engine::isPressed(27));

    engine::CreateKOVRAWindow(engine::WindowSettings{});
    Scene scene;
    engine::AddModule(&scene, 10100);
    engine::StartApplication();

    EXPECT_EQ(scene.passes, 3);
    EXPECT_TRUE(scene.killed);
    // The silent clock runs on: time never goes back between passes.
    ASSERT_EQ(scene.times.size(), 3u);
    EXPECT_TRUE(std::is_sorted(scene.times.begin(), scene.times.end()));
    EXPECT_EQ(core::Kernel::mInstance, nullptr);
    EXPECT_EQ(core::Timer::mInstance, nullptr);
    EXPECT_EQ(core::Input::mInstance, nullptr);
    EXPECT_EQ(core::CWin32Window::mInstance, nullptr);
    EXPECT_EQ(core::ResourceManager::mInstance, nullptr);
    EXPECT_EQ(engine::gfx::SceneInfo::mInstance, nullptr);
    // No music in the scratch folder: the timer's start fails, is shown,
    // and the show runs on the silent clock.
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Failed to load music file. Sorry.");
    const std::string rows = log.Rows();
    EXPECT_NE(rows.find(WarningRow(89, ".\\kernel.cpp", "Failed to start moduleTimer")),
              std::string::npos);
    EXPECT_NE(rows.find(MessageRow(27, ".\\kernel.cpp", "Starting main loop")), std::string::npos);
    EXPECT_NE(rows.find(MessageRow(98, ".\\kernel.cpp", "Killing all modules") +
                        MessageRow(330, ".\\Window.cpp", "Releasing D3DDevice")),
              std::string::npos)
        << rows;
    core::CWin32Window::SetDeviceFactory({});
    engine::platform::SetMessageBoxHandler(previous);
}

// StartApplication deletes, after the loop: the scene information, the
// input and screen modules, the timer, the effect pool, the renderer, the
// window, the resource manager and the kernel. Objects owned by
// the timer, the renderer and the resource manager see, as they go, which
// of the others are still there.
TEST(Application, DeletesTheEngineObjectsInThePartsOrder) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    std::vector<engine::platform::MessageBoxRequest> boxes;
    auto previousBox = engine::platform::SetMessageBoxHandler(
        [&](const engine::platform::MessageBoxRequest& r) { boxes.push_back(r); });
    auto previousOpener = engine::platform::SetMusicOpener(
        [](const std::string&) { return std::make_unique<ObservedMusic>(); });
    core::CWin32Window::SetDeviceFactory([](SDL_Window*, const auto& parameters) {
        auto device = std::make_unique<engine::platform::RecordingDevice>();
        device->Reset(parameters);
        return device;
    });
    LogCapture log;
    gDeletions.clear();

    engine::CreateKOVRAWindow(engine::WindowSettings{});
    engine::SetRootNode(std::make_shared<ObservedRoot>());
    core::ResourceManager::Get()->AddUnnamed(std::make_shared<ObservedResource>());
    Scene scene;
    // The program's module makes the effect pool, as building effects does.
    scene.onStart = [] { engine::gfx::EffectPool::Get(); };
    engine::AddModule(&scene, 10100);
    ASSERT_NE(engine::gfx::EffectPool::mInstance, nullptr);
    engine::StartApplication();

    EXPECT_EQ(scene.passes, 3);
    EXPECT_EQ(scene.times, (std::vector<double>{0.25, 0.5, 0.75}));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(gDeletions, (std::vector<std::string>{
                              "music: Timer EffectPool Window ResourceManager Kernel",
                              "root: Window ResourceManager Kernel",
                              "resource: ResourceManager Kernel",
                          }));
    EXPECT_EQ(Alive(), "");
    core::CWin32Window::SetDeviceFactory({});
    engine::platform::SetMusicOpener(previousOpener);
    engine::platform::SetMessageBoxHandler(previousBox);
}

} // namespace
