#include "engine/platform/messageBox.h"

#include "engine/core/stringConversion.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace engine::platform {

namespace {

MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}

SDL_Window* gOwner = nullptr;

// A box needs someone to click it: only try one when a real display is
// there and the engine is not running on an offscreen video driver.
bool DisplayAvailable() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0))
        return false;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

void ShowDefault(const MessageBoxRequest& request) {
    const std::string text = core::Narrow(request.text);
    const std::string caption = core::Narrow(request.caption);
    if (DisplayAvailable()) {
        SDL_Window* owner = request.owner == MessageBoxOwner::Engine ? gOwner : nullptr;
        if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(),
                                     owner) == 0)
            return;
    }
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

} // namespace

void ShowMessageBox(const std::wstring& text, const std::wstring& caption, MessageBoxOwner owner) {
    const MessageBoxRequest request{text, caption, owner};
    if (Handler())
        Handler()(request);
    else
        ShowDefault(request);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    MessageBoxHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

void SetMessageBoxOwnerWindow(SDL_Window* window) {
    gOwner = window;
}

} // namespace engine::platform
