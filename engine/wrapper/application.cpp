#include "engine/wrapper/wrapper.h"

#include "engine/core/Window.h"
#include "engine/core/frameCapture.h"
#include "engine/core/input.h"
#include "engine/core/kernel.h"
#include "engine/core/log.h"
#include "engine/core/resourceManager.h"
#include "engine/core/timer.h"
#include "engine/gfx/effectPool.h"
#include "engine/gfx/sceneInfo.h"

#include <chrono>
#include <thread>

namespace engine {

void AddModule(core::Module* module, int key) {
    core::Kernel::Get()->AddModule(module, key);
}

int StartApplication() {
    core::Kernel* kernel = core::Kernel::Get();
    kernel->AddModule(core::Timer::Get(), 7);
    kernel->Run();
    core::Module* input = kernel->GetModule(2);
    core::Module* screen = kernel->GetModule(1);
    core::Module* renderer = kernel->GetModule(10);
    // Singletons that were never made stay unmade: creating one here (an
    // effect pool compiling its fallback effect) would only waste the exit.
    delete gfx::SceneInfo::mInstance;
    delete input;
    delete screen;
    delete core::Timer::mInstance;
    delete gfx::EffectPool::mInstance;
    delete renderer;
    delete core::CWin32Window::mInstance;
    delete core::ResourceManager::mInstance;
    delete core::Kernel::mInstance;
    // The encoder may still be writing the last frames.
    int interruption = 0;
    if (core::FrameCapture* capture = core::FrameCapture::mInstance) {
        const std::string failure = capture->Finish();
        interruption = capture->Interruption();
        delete capture;
        if (!failure.empty())
            core::Logging::Get()->Error("Capture failed: " + failure, ".\\wrapper.cpp", __LINE__);
    }
    // As a shell reports a program that a signal ended.
    return interruption ? 128 + interruption : 0;
}

void QuitApplication() {
    core::Kernel::Get()->Quit();
}

// The readers do not create the timer: before it exists time is 0.
double GetTime() {
    return core::Timer::mInstance ? core::Timer::mInstance->GetTime() : 0.0;
}

double GetSinceLast() {
    return core::Timer::mInstance ? core::Timer::mInstance->GetSinceLast() : 0.0;
}

void Sleep(std::uint32_t milliseconds) {
    if (!core::FrameCapture::mInstance)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool isPressed(int key) {
    return core::Input::Get()->isPressed(key);
}
bool isHeld(int key) {
    return core::Input::Get()->isHeld(key);
}
bool isReleased(int key) {
    return core::Input::Get()->isReleased(key);
}

} // namespace engine
