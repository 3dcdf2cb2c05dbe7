#pragma once

#include "engine/engineApi.h"

namespace engine::platform {
class Device;
}

namespace engine::core {

// The device of the engine window, null before the window has made one.
// Resources, shaders and meshes create their device objects through it;
// tests install a recording device here.
ENGINE_API platform::Device* GraphicsDevice();
ENGINE_API void SetGraphicsDevice(platform::Device* device);

} // namespace engine::core
