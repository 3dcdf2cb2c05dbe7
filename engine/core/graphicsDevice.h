#pragma once

namespace engine::platform {
class Device;
}

namespace engine::core {

// The device of the engine window, null before the window has made one.
// Resources, shaders and meshes create their device objects through it;
// tests install a recording device here.
platform::Device* GraphicsDevice();
void SetGraphicsDevice(platform::Device* device);

} // namespace engine::core
