// A full-screen show on the real OpenGL device, lost and reset a hundred
// times through the window's focus messages: every frame drawn after a reset
// equals the frame drawn before any loss, and the cycles leave nothing
// behind: the same number of live OpenGL objects after the tenth and the
// last cycle, and no growth of memory that a lost render target would cause
// (they live in host memory under llvmpipe).
#include "game/testScene1.h"

#include "engine/core/Window.h"
#include "engine/core/module.h"
#include "engine/core/stringConversion.h"
#include "engine/platform/device.h"
#include "engine/platform/messageBox.h"
#include "engine/platform/musicStream.h"
#include "engine/platform/windowMessage.h"
#include "engine/wrapper/wrapper.h"
#include "support/logCapture.h"
#include "support/tinyShow.h"

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace kovra::test;
namespace core = engine::core;
namespace platform = engine::platform;

namespace {

constexpr int kCycles = 100;

// The show's clock: runs for a few frames, then stands still, so that every
// later frame shows the same moment.
double gPosition = 0.0;

class HeldMusic : public platform::MusicStream {
public:
    void Play() override {}
    void Pause() override {}
    void Stop() override {}
    double Position() override { return gPosition; }
    void SetPosition(double seconds) override { gPosition = seconds; }
};

std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// Live objects of the current context, found by asking for every name that
// could have been handed out.
std::size_t LiveGlObjects() {
    constexpr GLuint kNames = 1u << 15;
    std::size_t live = 0;
    for (GLuint name = 1; name < kNames; ++name)
        live += glIsTexture(name) + glIsBuffer(name) + glIsFramebuffer(name) +
                glIsRenderbuffer(name) + glIsProgram(name) + glIsVertexArray(name);
    return live;
}

// Runs before the screen module: moves the clock, and takes the window's
// focus away and gives it back as the cycles ask.
class LossDriver : public core::Module {
public:
    LossDriver() {
        Name(L"LossDriver");
        Priority(0);
    }
    void Start() override {}
    void Kill() override {}
    void Update() override {
        ++pass;
        if (pass <= kWarmUpPasses)
            gPosition = 0.04 * pass;
        if (pass > kReferencePass) {
            const int step = (pass - kReferencePass - 1) % 3;
            const auto message = step == 0   ? platform::WmKillFocus
                                 : step == 1 ? platform::WmSetFocus
                                             : 0u;
            if (message != 0)
                core::CWin32Window::Get()->WindowProc({message, 0, 0, 0});
        }
    }

    static constexpr int kWarmUpPasses = 10;
    // A few passes after the clock stopped: the frame every reset must give.
    static constexpr int kReferencePass = kWarmUpPasses + 3;
    int pass = 0;
};

// Runs after the renderer: keeps the picture of every pass.
class FrameGrabber : public core::Module {
public:
    explicit FrameGrabber(const LossDriver& driver) : mDriver(driver) {
        Name(L"FrameGrabber");
        Priority(12001);
    }
    void Start() override {}
    void Kill() override {}
    void Update() override {
        platform::Device* device = core::CWin32Window::Get()->Device();
        std::vector<std::uint8_t> pixels;
        const bool read =
            device->TestCooperativeLevel() == platform::Result::Ok &&
            device->ReadSurface(device->GetBackBuffer(), pixels) == platform::Result::Ok;
        const int pass = mDriver.pass;
        if (pass == LossDriver::kReferencePass) {
            ASSERT_TRUE(read);
            reference = pixels;
        } else if (pass > LossDriver::kReferencePass) {
            const int cycle = (pass - LossDriver::kReferencePass - 1) / 3;
            const int step = (pass - LossDriver::kReferencePass - 1) % 3;
            if (step == 0) {
                EXPECT_FALSE(read) << "cycle " << cycle << ": the device was not lost";
            } else {
                EXPECT_TRUE(read) << "cycle " << cycle << " step " << step;
                if (pixels != reference)
                    ++differing;
                ++compared;
            }
            if (step == 2 && cycle == 9) {
                residentAfterTen = ResidentBytes();
                objectsAfterTen = LiveGlObjects();
            }
            if (step == 2 && cycle == kCycles - 1) {
                residentAfterAll = ResidentBytes();
                objectsAfterAll = LiveGlObjects();
                engine::QuitApplication();
            }
        }
    }

    std::vector<std::uint8_t> reference;
    int compared = 0;
    int differing = 0;
    std::size_t residentAfterTen = 0;
    std::size_t residentAfterAll = 0;
    std::size_t objectsAfterTen = 0;
    std::size_t objectsAfterAll = 0;

private:
    const LossDriver& mDriver;
};

TEST(DeviceLoss, AHundredLossesAndResetsRedrawTheSameFrameAndKeepNothing) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    LogCapture log;
    WriteTinyShow();
    std::vector<std::wstring> boxes;
    const auto previousBoxes = platform::SetMessageBoxHandler(
        [&](const platform::MessageBoxRequest& r) { boxes.push_back(r.text); });
    const auto previousMusic =
        platform::SetMusicOpener([](const std::string&) { return std::make_unique<HeldMusic>(); });
    gPosition = 0.0;

    engine::WindowSettings settings;
    settings.width = 64;
    settings.height = 36;
    settings.fullscreen = true; // only a full-screen device is ever lost
    TestScene1 scene;
    LossDriver driver;
    FrameGrabber grabber(driver);
    engine::CreateKOVRAWindow(settings);
    engine::AddModule(&scene, 10100);
    engine::AddModule(&driver, 20000);
    engine::AddModule(&grabber, 20001);
    engine::StartApplication();
    platform::SetMusicOpener(previousMusic);
    platform::SetMessageBoxHandler(previousBoxes);

    EXPECT_TRUE(boxes.empty()) << engine::core::Narrow(boxes.front());
    EXPECT_EQ(driver.pass, LossDriver::kReferencePass + 3 * kCycles);
    ASSERT_FALSE(grabber.reference.empty());
    // The picture shows the scene, not just the clear colour.
    EXPECT_NE(std::vector<std::uint8_t>(grabber.reference.size(), 0), grabber.reference);
    EXPECT_EQ(grabber.compared, 2 * kCycles);
    EXPECT_EQ(grabber.differing, 0);
    const std::string rows = log.Rows();
    std::size_t losses = 0;
    for (std::size_t at = rows.find("D3DDevice lost"); at != std::string::npos;
         at = rows.find("D3DDevice lost", at + 1))
        ++losses;
    EXPECT_EQ(losses, static_cast<std::size_t>(kCycles));
    EXPECT_GT(grabber.objectsAfterTen, 10u); // the targets and the scene's buffers at least
    EXPECT_EQ(grabber.objectsAfterAll, grabber.objectsAfterTen);
    // The allocator and the driver settle in steps; ninety leaked copies of
    // one 1024 x 1024 target (4 MiB each) would go far past this bound.
    EXPECT_LT(grabber.residentAfterAll, grabber.residentAfterTen + (64u << 20))
        << "memory grew from " << grabber.residentAfterTen << " to " << grabber.residentAfterAll;
}

} // namespace
