#include "engine/core/Window.h"
#include "engine/core/input.h"
#include "engine/core/kernel.h"
#include "engine/core/resourceManager.h"
#include "engine/core/timer.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/platform/messageBox.h"
#include "engine/platform/recordingDevice.h"
#include "engine/wrapper/wrapper.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>

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
    void Start() override {}
    void Update() override {
        times.push_back(engine::GetTime());
        if (++passes == 3)
            engine::QuitApplication();
    }
    void Kill() override { killed = true; }

    int passes = 0;
    bool killed = false;
    std::vector<double> times;
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

} // namespace
