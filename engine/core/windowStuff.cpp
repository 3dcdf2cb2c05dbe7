#include "engine/wrapper/wrapper.h"

#include "engine/core/Window.h"
#include "engine/core/frameCapture.h"
#include "engine/core/input.h"
#include "engine/core/kernel.h"
#include "engine/core/log.h"
#include "engine/core/screen.h"
#include "engine/gfx/renderer.h"
#include "engine/gfx/sceneInfo.h"

namespace engine {

void CreateKOVRAWindow(const WindowSettings& settings) {
    core::Logging::Get()->Message("Release build", ".\\windowStuff.cpp", 321);
    WindowSettings chosen = settings;
    if (const core::FrameCapture* capture = core::FrameCapture::mInstance)
        capture->AdjustWindow(chosen);
    core::CScreen* screen = pattern::Creator<core::CScreen>::CreateInstance();
    screen->Create(chosen);
    core::Kernel* kernel = core::Kernel::Get();
    kernel->AddModule(screen, 1);
    kernel->AddModule(new gfx::Renderer, 10);
    kernel->AddModule(new core::InputUpdate, 2);
    kernel->AddModule(gfx::SceneInfo::Get(), 12);
    core::CWin32Window::Get()->SetClearColor(0);
}

void SetWindowTitle(std::wstring title) {
    if (platform::SdlWindow* window = core::CWin32Window::Get()->Window())
        window->SetTitle(title);
}

void SetClearColor(std::uint32_t color) {
    core::CWin32Window::Get()->SetClearColor(color);
}

platform::DeviceCaps GetDirect3DCaps() {
    return core::CWin32Window::Get()->Caps();
}

platform::Device* Direct3DDevice() {
    return core::CWin32Window::Get()->Device();
}

platform::DisplayMode CurrentDisplayMode() {
    return platform::SdlWindow::CurrentDisplayMode();
}

} // namespace engine
