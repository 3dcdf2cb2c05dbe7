#include "engine/wrapper/wrapper.h"

#include "engine/core/Window.h"
#include "engine/core/input.h"
#include "engine/core/kernel.h"
#include "engine/core/resourceManager.h"
#include "engine/core/timer.h"
#include "engine/gfx/sceneInfo.h"

namespace engine {

void AddModule(core::Module* module, int key) {
    core::Kernel::Get()->AddModule(module, key);
}

void StartApplication() {
    core::Kernel* kernel = core::Kernel::Get();
    kernel->AddModule(core::Timer::Get(), 7);
    kernel->Run();
    core::Module* input = kernel->GetModule(2);
    core::Module* screen = kernel->GetModule(1);
    core::Module* renderer = kernel->GetModule(10);
    delete gfx::SceneInfo::Get();
    delete input;
    delete screen;
    delete core::Timer::Get();
    delete renderer;
    delete core::CWin32Window::Get();
    delete core::ResourceManager::Get();
    delete core::Kernel::Get();
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
