#include "engine/platform/sdlWindow.h"

#include "engine/core/log.h"
#include "engine/core/stringConversion.h"
#include "engine/platform/libraryPin.h"
#include "engine/platform/messageBox.h"
#include "engine/platform/virtualKey.h"

#include <SDL.h>

namespace engine::platform {

namespace {

const char* const kSource = ".\\sdlWindow.cpp";

SDL_Window* OpenWindow(const WindowDescription& description) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The device draws into a framebuffer of its own.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    Uint32 flags = SDL_WINDOW_OPENGL;
    if (description.fullscreen) {
        flags |= SDL_WINDOW_FULLSCREEN;
    }
    const std::string title = core::Narrow(description.title);
    return SDL_CreateWindow(title.c_str(), description.x, description.y, description.width,
                            description.height, flags);
}

bool StartOffscreenVideo() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    // Over SDL_VIDEODRIVER too: the driver it names is the one that failed.
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

} // namespace

SdlWindow::SdlWindow(const WindowDescription& description) {
    auto& log = *core::Logging::Get();
    bool video = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!video) {
        log.Message(std::string("No display (") + SDL_GetError() +
                        "), using the offscreen video driver",
                    kSource, __LINE__);
        video = StartOffscreenVideo();
    }
    if (!video) {
        log.Error(std::string("Could not initialise SDL video: ") + SDL_GetError(), kSource,
                  __LINE__);
    }
    mWindow = OpenWindow(description);
    if (mWindow == nullptr && SDL_GetCurrentVideoDriver() != std::string("offscreen")) {
        log.Message(std::string("No OpenGL window (") + SDL_GetError() +
                        "), using the offscreen video driver",
                    kSource, __LINE__);
        if (StartOffscreenVideo()) {
            mWindow = OpenWindow(description);
        }
    }
    if (mWindow == nullptr) {
        const std::string error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        log.Error("Could not create SDL window: " + error, kSource, __LINE__);
    }
    PinLoadedLibraries();
    SetMessageBoxOwnerWindow(mWindow);
}

SdlWindow::~SdlWindow() {
    SetMessageBoxOwnerWindow(nullptr);
    SDL_DestroyWindow(mWindow);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SdlWindow::SetTitle(const std::wstring& title) {
    SDL_SetWindowTitle(mWindow, core::Narrow(title).c_str());
}

std::string SdlWindow::VideoDriver() const {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr ? driver : "";
}

std::vector<WindowMessage> SdlWindow::PumpMessages() {
    std::vector<WindowMessage> messages;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        WindowMessage message;
        if (TranslateEvent(event, message)) {
            messages.push_back(message);
        }
    }
    return messages;
}

DisplayMode SdlWindow::DesktopDisplayMode() {
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
        core::Logging::Get()->Error(
            std::string("Could not get the display mode: ") + SDL_GetError(), kSource, __LINE__);
    }
    DisplayMode result;
    result.width = mode.w;
    result.height = mode.h;
    result.refreshRate = mode.refresh_rate;
    result.format = SDL_BITSPERPIXEL(mode.format) == 16 ? Format::R5G6B5 : Format::X8R8G8B8;
    return result;
}

DisplayMode SdlWindow::CurrentDisplayMode() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0 && !StartOffscreenVideo()) {
        core::Logging::Get()->Error(
            std::string("Could not initialise SDL video: ") + SDL_GetError(), kSource, __LINE__);
    }
    const DisplayMode mode = DesktopDisplayMode();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return mode;
}

bool TranslateEvent(const SDL_Event& event, WindowMessage& message) {
    message = WindowMessage{};
    switch (event.type) {
    case SDL_QUIT:
        message.message = WmQuit;
        return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        message.message = event.type == SDL_KEYDOWN ? WmKeyDown : WmKeyUp;
        message.wParam = VirtualKeyFromSdl(event.key.keysym.sym);
        return message.wParam != 0;
    case SDL_MOUSEMOTION:
        message.message = WmMouseMove;
        message.x = event.motion.x;
        message.y = event.motion.y;
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        if (event.button.button == SDL_BUTTON_LEFT) {
            message.message = down ? WmLButtonDown : WmLButtonUp;
        } else if (event.button.button == SDL_BUTTON_RIGHT) {
            message.message = down ? WmRButtonDown : WmRButtonUp;
        } else {
            return false;
        }
        message.x = event.button.x;
        message.y = event.button.y;
        return true;
    }
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            message.message = WmClose;
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            message.message = WmSetFocus;
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            message.message = WmKillFocus;
            return true;
        case SDL_WINDOWEVENT_MINIMIZED:
            message.message = WmSize;
            message.wParam = kSizeMinimized;
            return true;
        case SDL_WINDOWEVENT_RESTORED:
            message.message = WmSize;
            message.wParam = kSizeRestored;
            return true;
        default:
            return false;
        }
    default:
        break;
    }
    return false;
}

} // namespace engine::platform
