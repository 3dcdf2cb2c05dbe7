#pragma once

#include "engine/platform/deviceTypes.h"
#include "engine/platform/windowMessage.h"

#include <string>
#include <vector>

struct SDL_Window;
union SDL_Event;

namespace engine::platform {

struct WindowDescription {
    std::wstring title;
    int width = 1024; // client size
    int height = 768; //
    bool fullscreen = false;
    int x = 100;
    int y = 100;
};

// The demo's SDL window, made for an OpenGL device. Without a display (video
// initialisation or window creation fails) it falls back to SDL's "offscreen"
// driver. It owns SDL's video subsystem for its lifetime and is the owner of
// engine message boxes.
class SdlWindow {
public:
    // Failures are logged as errors, which throw.
    explicit SdlWindow(const WindowDescription& description);
    ~SdlWindow();
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    SDL_Window* Handle() const { return mWindow; }
    void SetTitle(const std::wstring& title);
    // The video driver in use ("x11", "wayland", "offscreen" ...).
    std::string VideoDriver() const;

    // Every waiting event of the thread, translated; events without a
    // Win32 counterpart are dropped.
    std::vector<WindowMessage> PumpMessages();

    // Desktop mode of the first display; the video subsystem must be up.
    static DisplayMode DesktopDisplayMode();
    // The same before any window exists: brings video up for the query,
    // on the offscreen driver where there is no display.
    static DisplayMode CurrentDisplayMode();

private:
    SDL_Window* mWindow = nullptr;
};

// Translates one SDL event; false when it has no Win32 counterpart.
bool TranslateEvent(const SDL_Event& event, WindowMessage& message);

} // namespace engine::platform
