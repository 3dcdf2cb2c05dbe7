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

// The last message of a pump stays stored, except that a quit is never
// overwritten: SDL's quit (also how SIGINT and SIGTERM arrive) and a quit
// posted while dispatching stay stored whatever follows them in the same
// pump, and turn into a kernel quit at the next pass.
void CScreen::Update() {
    if (mLastMessage.message == platform::WmQuit) {
        Kernel::Get()->Quit();
        return;
    }
    CWin32Window* window = CWin32Window::Get();
    if (!window->Window())
        return;
    bool quit = false;
    for (const platform::WindowMessage& message : window->Window()->PumpMessages()) {
        mLastMessage = message;
        if (message.message == platform::WmQuit)
            quit = true;
        else
            window->WindowProc(message);
        quit = window->TakeQuitPosted() || quit;
    }
    if (quit)
        mLastMessage = platform::WindowMessage{platform::WmQuit, 0, 0, 0};
}

void CScreen::Kill() {
    CWin32Window::Get()->Shutdown();
}

} // namespace engine::core
