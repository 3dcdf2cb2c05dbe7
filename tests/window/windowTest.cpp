#include "engine/core/Window.h"
#include "engine/core/exception.h"
#include "engine/core/graphicsDevice.h"
#include "engine/core/input.h"
#include "engine/core/kernel.h"
#include "engine/core/resourceManager.h"
#include "engine/core/screen.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/platform/recordingDevice.h"
#include "engine/wrapper/wrapper.h"
#include "support/logCapture.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using engine::WindowSettings;
using engine::core::CScreen;
using engine::core::CWin32Window;
using engine::core::Input;
using engine::core::Kernel;
using engine::platform::RecordingDevice;
using namespace kovra::test;
namespace platform = engine::platform;

namespace {

// Every window test runs on SDL's offscreen driver with a recording device
// the test can configure before the window makes it.
class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        CWin32Window::SetDeviceFactory(
            [this](SDL_Window*, const platform::PresentParameters& parameters) {
                auto device = std::make_unique<RecordingDevice>();
                device->Reset(parameters);
                configure(*device);
                recording = device.get();
                return device;
            });
    }
    ~WindowTest() override {
        delete CWin32Window::mInstance;
        delete Kernel::mInstance;
        delete Input::mInstance;
        delete engine::gfx::SceneInfo::mInstance;
        CWin32Window::SetDeviceFactory({});
    }

    std::string CreatedRow(const WindowSettings& settings) {
        CScreen screen;
        screen.Create(settings);
        const std::string rows = log.Rows();
        const auto start = rows.find("Successfully created");
        if (start == std::string::npos)
            return rows;
        return rows.substr(start, rows.find("</td>", start) - start);
    }

    std::function<void(RecordingDevice&)> configure = [](RecordingDevice&) {};
    RecordingDevice* recording = nullptr;
    LogCapture log;
};

TEST_F(WindowTest, SixSamplesFallBackToWhatTheDeviceAccepts) {
    configure = [](RecordingDevice& d) { d.SetMultiSampleLimit(platform::Format::X8R8G8B8, 4); };
    WindowSettings settings;
    settings.multiSample = 6;
    EXPECT_EQ(CreatedRow(settings),
              "Successfully created 1024x768x60hz fullscreen: false AA: 4 Backbuffer: 22");
    EXPECT_EQ(CWin32Window::Get()->Settings().multiSample, 4);
    EXPECT_EQ(recording->GetPresentParameters().multiSample, 4);
}

TEST_F(WindowTest, BestAvailableTakesTwoSamplesWithoutFour) {
    configure = [](RecordingDevice& d) { d.SetMultiSampleLimit(platform::Format::X8R8G8B8, 2); };
    WindowSettings settings;
    settings.multiSample = engine::kBestMultiSample;
    EXPECT_EQ(CreatedRow(settings),
              "Successfully created 1024x768x60hz fullscreen: false AA: 2 Backbuffer: 22");
}

TEST_F(WindowTest, NoSamplesOn32BitFallsBackTo16BitWithTheRequestedCount) {
    configure = [](RecordingDevice& d) {
        d.SetMultiSampleLimit(platform::Format::X8R8G8B8, -1);
        d.SetMultiSampleLimit(platform::Format::R5G6B5, 2);
    };
    WindowSettings settings;
    settings.multiSample = 2;
    EXPECT_EQ(CreatedRow(settings),
              "Successfully created 1024x768x60hz fullscreen: false AA: 2 Backbuffer: 23");
    EXPECT_EQ(CWin32Window::Get()->Settings().backBufferFormat, 23);
}

TEST_F(WindowTest, NoFormatAtAllIsAnError) {
    configure = [](RecordingDevice& d) {
        d.SetMultiSampleLimit(platform::Format::X8R8G8B8, -1);
        d.SetMultiSampleLimit(platform::Format::R5G6B5, -1);
    };
    CScreen screen;
    try {
        screen.Create(WindowSettings{});
        FAIL() << "no error";
    } catch (const engine::core::Exception& e) {
        EXPECT_EQ(e.GetText(), L"No supported window format found");
        EXPECT_EQ(e.GetFunction(), L".\\Window.cpp:235");
    }
}

TEST_F(WindowTest, CreationRowsAndWindowedPresentParameters) {
    configure = [](RecordingDevice& d) { d.Caps().pixelShaderVersion = 0xFFFF0200; };
    WindowSettings settings;
    settings.title = L"Kelmsong";
    CScreen screen;
    screen.Create(settings);
    const auto& parameters = CWin32Window::Get()->PresentParameters();
    EXPECT_EQ(parameters.width, 0);
    EXPECT_EQ(parameters.height, 0);
    EXPECT_TRUE(parameters.windowed);
    EXPECT_EQ(parameters.presentInterval, 1);
    EXPECT_EQ(engine::core::GraphicsDevice(), recording);
    const std::string rows = log.Rows();
    for (const std::string& row :
         {MessageRow(84, ".\\Window.cpp",
                     "Creating window \"Kelmsong\" 1024x768x60hz fullscreen: false AA: 0 "
                     "Backbuffer: 22"),
          MessageRow(142, ".\\Window.cpp", "Driver recording") +
              MessageRow(143, ".\\Window.cpp", "Description Recording device") +
              MessageRow(144, ".\\Window.cpp", "Device Name recording0") +
              MessageRow(163, ".\\Window.cpp", "Hardware vertex processing chosen") +
              MessageRow(197, ".\\Window.cpp", "Shader version 2.0 available")})
        EXPECT_NE(rows.find(row), std::string::npos) << row << "\n" << rows;
}

TEST_F(WindowTest, UnlistedShaderVersionWritesNothingAndOldVertexShadersWarn) {
    configure = [](RecordingDevice& d) {
        d.Caps().pixelShaderVersion = 0xFFFF0201;
        d.Caps().vertexShaderVersion = 0xFFFF0100;
    };
    CScreen screen;
    screen.Create(WindowSettings{});
    const std::string rows = log.Rows();
    EXPECT_EQ(rows.find("Shader version"), std::string::npos);
    EXPECT_NE(rows.find(WarningRow(
                  179, ".\\Window.cpp",
                  "Vertex shaders 1.1 not found. Switching to software vertex processing.")),
              std::string::npos);
}

TEST_F(WindowTest, UserStateSetsViewProjectionAndCulling) {
    CScreen screen;
    screen.Create(WindowSettings{});
    const auto& projection = CWin32Window::Get()->Projection();
    EXPECT_NEAR(projection.m[5], 1.0f / std::tan(0.7853982f / 2), 1e-5f);
    EXPECT_NEAR(projection.m[0], projection.m[5] * 768.0f / 1024.0f, 1e-5f);
    EXPECT_NEAR(projection.m[10], 400.0f / 399.5f, 1e-5f);
    bool culled = false;
    for (const auto& call : recording->Calls())
        culled = culled || RecordingDevice::Describe(call) == "SetCullMode(3)";
    EXPECT_TRUE(culled);
}

TEST_F(WindowTest, QuitFromThePumpQuitsTheKernelOnTheNextPass) {
    CScreen screen;
    screen.Create(WindowSettings{});
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    screen.Update();
    EXPECT_EQ(screen.LastMessage().message, platform::WmQuit);
    EXPECT_EQ(log.Rows().find("Quit called"), std::string::npos);
    screen.Update();
    EXPECT_NE(log.Rows().find(MessageRow(126, ".\\kernel.cpp", "Quit called")), std::string::npos);
}

// SDL's quit (also how SIGINT and SIGTERM arrive) followed by other events in
// the same pump is still the message that stays stored.
TEST_F(WindowTest, AQuitIsNotOverwrittenByEventsThatFollowItInOnePump) {
    CScreen screen;
    screen.Create(WindowSettings{});
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_a;
    SDL_PushEvent(&key);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 5;
    motion.motion.y = 6;
    SDL_PushEvent(&motion);
    screen.Update();
    EXPECT_EQ(screen.LastMessage().message, platform::WmQuit);
    EXPECT_TRUE(Input::Get()->isPressed('A')) << "the events after the quit are still handled";
    screen.Update();
    EXPECT_NE(log.Rows().find(MessageRow(126, ".\\kernel.cpp", "Quit called")), std::string::npos);
}

TEST_F(WindowTest, CloseDestroysTheDeviceAndPostsAQuit) {
    CScreen screen;
    screen.Create(WindowSettings{});
    CWin32Window::Get()->WindowProc(platform::WindowMessage{platform::WmClose, 0, 0, 0});
    EXPECT_EQ(CWin32Window::Get()->Device(), nullptr);
    EXPECT_EQ(engine::core::GraphicsDevice(), nullptr);
    EXPECT_TRUE(CWin32Window::Get()->TakeQuitPosted());
    EXPECT_NE(log.Rows().find(MessageRow(357, ".\\Window.cpp", "Destroy message received") +
                              MessageRow(330, ".\\Window.cpp", "Releasing D3DDevice") +
                              MessageRow(332, ".\\Window.cpp", "Releasing Direct3D")),
              std::string::npos);
}

TEST_F(WindowTest, WindowEventsFeedTheInputState) {
    CScreen screen;
    screen.Create(WindowSettings{});
    CWin32Window* window = CWin32Window::Get();
    window->WindowProc({platform::WmKeyDown, 0x51, 0, 0});
    window->WindowProc({platform::WmRButtonDown, 0, 0, 0});
    window->WindowProc({platform::WmMouseMove, 0, 10, 20});
    window->WindowProc({platform::WmMouseMove, 0, 13, 16});
    Input* input = Input::Get();
    EXPECT_TRUE(input->isPressed(0x51));
    EXPECT_TRUE(input->ButtonIsDown(engine::core::MouseButton::Right));
    EXPECT_EQ(input->MouseDx(), 3);
    EXPECT_EQ(input->MouseDy(), -4);
    window->WindowProc({platform::WmKeyUp, 0x51, 0, 0});
    EXPECT_FALSE(input->isPressed(0x51));
}

TEST_F(WindowTest, CreateKOVRAWindowRegistersTheStandardModules) {
    engine::CreateKOVRAWindow(WindowSettings{});
    Kernel* kernel = Kernel::Get();
    ASSERT_NE(kernel->GetModule(1), nullptr);
    EXPECT_EQ(kernel->GetModule(1)->Name(), L"Screen");
    EXPECT_EQ(kernel->GetModule(1)->Priority(), 1);
    EXPECT_EQ(kernel->GetModule(2)->Name(), L"Input");
    EXPECT_EQ(kernel->GetModule(12), engine::gfx::SceneInfo::Get());
    EXPECT_EQ(CWin32Window::Get()->ClearColor(), 0u);
    EXPECT_EQ(log.Rows().find(MessageRow(321, ".\\windowStuff.cpp", "Release build")), 0u);
    EXPECT_EQ(kernel->GetModule(10)->Name(), L"Renderer");
    delete kernel->GetModule(1);
    delete kernel->GetModule(2);
    delete kernel->GetModule(10);
    delete engine::core::ResourceManager::mInstance;
}

} // namespace

namespace {

TEST(WindowOnOpenGL, OpensOffscreenWithARealDevice) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    LogCapture log;
    {
        CScreen screen;
        screen.Create(WindowSettings{});
        platform::Device* device = CWin32Window::Get()->Device();
        ASSERT_NE(device, nullptr);
        EXPECT_GE(device->GetCaps().pixelShaderVersion, 0xFFFF0300u);
        EXPECT_EQ(device->Clear(platform::ClearTarget, 0xFF00FF00, 1.0f, 0), platform::Result::Ok);
        EXPECT_EQ(device->Present(), platform::Result::Ok);
        screen.Kill();
        delete CWin32Window::mInstance;
    }
    const std::string rows = log.Rows();
    EXPECT_NE(rows.find(MessageRow(200, ".\\Window.cpp", "Shader version 3.0 available")),
              std::string::npos)
        << rows;
    EXPECT_NE(
        rows.find("Successfully created 1024x768x60hz fullscreen: false AA: 0 Backbuffer: 22"),
        std::string::npos);
    delete Input::mInstance;
}

} // namespace
