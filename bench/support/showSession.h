#pragma once

// The show as the game plays it, driven one pass at a time: window, device,
// the scene module with everything it generates, and the timer. It runs on
// whatever the checkout's data folder holds; without a scene file there it
// plays the small stand-in show the tests use.
#include "game/testScene1.h"

#include "engine/core/Window.h"
#include "engine/core/kernel.h"
#include "engine/core/timer.h"
#include "engine/platform/glDevice.h"
#include "engine/platform/messageBox.h"
#include "engine/platform/recordingDevice.h"
#include "engine/wrapper/wrapper.h"
#include "tests/support/scratchDir.h"
#include "tests/support/tinyShow.h"

#include <sys/resource.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>

namespace kovra::bench {

// Rebuilds the checkout's data folder in the current folder: folders made,
// files linked, so the show reads the real data while its log and anything
// it writes stay here. Returns whether a scene file was found; if not, only
// the stand-in show is written (never through links into the checkout).
inline bool MirrorShowData() {
    namespace fs = std::filesystem;
    const fs::path source = fs::path(KOVRA_SOURCE_DIR) / "data";
    if (!fs::exists(source / "tree.demo")) {
        kovra::test::WriteTinyShow();
        return false;
    }
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(source)) {
        const fs::path target = "data" / fs::relative(entry.path(), source);
        if (entry.is_directory())
            fs::create_directories(target);
        else if (target.filename() != "log.html")
            fs::create_symlink(fs::absolute(entry.path()), target);
    }
    return true;
}

// Peak resident memory of the process so far, in MiB.
inline double PeakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// CPU time of the whole process, every thread (the GL driver's) included.
inline double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

enum class DeviceKind { Recording, OpenGl };

class ShowSession {
public:
    // Stands between the engine and the OpenGL device when given.
    using Wrap = std::function<std::unique_ptr<engine::platform::Device>(
        std::unique_ptr<engine::platform::Device>)>;

    ShowSession(DeviceKind kind, int width, int height, Wrap wrap = {}) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        mRealData = MirrorShowData();
        engine::platform::SetMessageBoxHandler([](const engine::platform::MessageBoxRequest&) {});
        engine::core::CWin32Window::SetDeviceFactory(
            [kind, wrap](SDL_Window* window, const engine::platform::PresentParameters& parameters)
                -> std::unique_ptr<engine::platform::Device> {
                if (kind == DeviceKind::Recording) {
                    auto device = std::make_unique<engine::platform::RecordingDevice>();
                    device->Reset(parameters);
                    device->SetRecording(false);
                    return device;
                }
                std::unique_ptr<engine::platform::Device> device =
                    engine::platform::GlDevice::Create(window, parameters);
                return wrap ? wrap(std::move(device)) : std::move(device);
            });
        engine::WindowSettings settings;
        settings.width = width;
        settings.height = height;
        settings.presentInterval = engine::kPresentIntervalImmediate;
        engine::CreateKOVRAWindow(settings);
        engine::AddModule(&mScene, 10100);
        engine::core::Kernel::Get()->AddModule(engine::core::Timer::Get(), 7);
    }

    ~ShowSession() {
        // The first pass after the quit kills every module; StartApplication
        // then releases the engine as the game's exit does.
        engine::QuitApplication();
        engine::core::Kernel::Get()->Pass();
        engine::StartApplication();
        engine::core::CWin32Window::SetDeviceFactory({});
        engine::platform::SetMessageBoxHandler({});
    }

    ShowSession(const ShowSession&) = delete;
    ShowSession& operator=(const ShowSession&) = delete;

    bool RealData() const { return mRealData; }
    bool Playable() const { return mScene.HasScene(); }
    // One pass of the main loop: one frame.
    void Pass() { engine::core::Kernel::Get()->Pass(); }
    // Moves the music so that the next pass shows `seconds`.
    void SeekTo(double seconds) {
        engine::core::Timer* timer = engine::core::Timer::Get();
        timer->Seek(seconds - timer->GetTime());
    }
    // Stops time, so that every pass draws the same frame.
    void Freeze() { engine::core::Timer::Get()->Pause(); }
    engine::platform::Device& Device() { return *engine::Direct3DDevice(); }

private:
    kovra::test::ScratchDir mDir;
    bool mRealData = false;
    TestScene1 mScene;
};

} // namespace kovra::bench
