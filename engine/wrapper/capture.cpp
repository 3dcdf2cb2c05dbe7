#include "engine/wrapper/wrapper.h"

#include "engine/core/Window.h"
#include "engine/core/frameCapture.h"
#include "engine/core/log.h"

namespace engine {

void SetCapture(const CaptureSettings& settings) {
    const core::CWin32Window* window = core::CWin32Window::mInstance;
    if (window && window->Window())
        core::Logging::Get()->Error("Capture must be set before the window is created",
                                    ".\\wrapper.cpp", __LINE__);
    core::FrameCapture* capture = core::FrameCapture::Get();
    try {
        capture->Configure(settings);
    } catch (...) {
        delete capture; // bad settings leave no capture behind
        throw;
    }
}

bool Capturing() {
    return core::FrameCapture::mInstance != nullptr;
}

} // namespace engine
