#pragma once

#include "engine/core/windowSettings.h"
#include "engine/engineApi.h"
#include "engine/platform/deviceTypes.h"

#include <cstdint>
#include <string>

namespace engine::platform {
class Device;
}

namespace engine {

// Opens the window and device from the settings and registers the engine's
// standard modules: screen (key 1), renderer (10), input (2) and scene
// information (12).
ENGINE_API void CreateKOVRAWindow(const WindowSettings& settings);
ENGINE_API void SetWindowTitle(std::wstring title);
// ARGB colour the renderer clears the back buffer with.
ENGINE_API void SetClearColor(std::uint32_t color);
// Capabilities read when the device was created.
ENGINE_API platform::DeviceCaps GetDirect3DCaps();
ENGINE_API platform::Device* Direct3DDevice();

} // namespace engine
