#pragma once

#include <memory>

namespace engine::platform {

// What device objects tell their device, and learn from it. Objects may
// outlive their device (shutdown releases the window before the resources):
// their GL names died with the context then, and deleting them would need a
// context there is none of.
struct DeviceLink {
    bool alive = true;
    // A vertex buffer or declaration went away: a new one may take its
    // address, so the attribute setup must be made again.
    bool vertexSetupDirty = true;
};
using Liveness = std::shared_ptr<DeviceLink>;

} // namespace engine::platform
