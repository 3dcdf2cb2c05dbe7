#include "engine/core/screen.h"

#include "engine/core/Window.h"
#include "engine/core/kernel.h"
#include "engine/core/log.h"

namespace engine::core {

namespace {
constexpr const char* kSource = ".\\screen.cpp";
}

CScreen::CScreen() {
    Name(L"Screen");
    Priority(1);
}

void CScreen::Create(const WindowSettings& settings) {
    CWin32Window* window = CWin32Window::Get();
    if (window->Create(settings) < 0)
        Logging::Get()->Error("Failed to create window", kSource, 19);
    mLastMessage = platform::WindowMessage{};
    if (window->InitDevice() < 0)
        Logging::Get()->Error("Failed to initialize", kSource, 31);
}

void CScreen::Start() {}

// A quit posted while dispatching is retrieved after every other waiting
// message, so it is the one left stored; it turns into a kernel quit at the next pass.
void CScreen::Update() {
    if (mLastMessage.message == platform::WmQuit) {
        Kernel::Get()->Quit();
        return;
    }
    CWin32Window* window = CWin32Window::Get();
    if (!window->Window())
        return;
    bool quitPosted = false;
    for (const platform::WindowMessage& message : window->Window()->PumpMessages()) {
        mLastMessage = message;
        if (message.message != platform::WmQuit)
            window->WindowProc(message);
        quitPosted = window->TakeQuitPosted() || quitPosted;
    }
    if (quitPosted)
        mLastMessage = platform::WindowMessage{platform::WmQuit, 0, 0, 0};
}

void CScreen::Kill() {
    CWin32Window::Get()->Shutdown();
}

} // namespace engine::core
