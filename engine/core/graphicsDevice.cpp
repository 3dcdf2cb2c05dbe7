#include "engine/core/graphicsDevice.h"

namespace engine::core {

namespace {
platform::Device* gDevice = nullptr;
}

platform::Device* GraphicsDevice() {
    return gDevice;
}

void SetGraphicsDevice(platform::Device* device) {
    gDevice = device;
}

} // namespace engine::core
