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
    // A buffer went away: the index binding may name a new one now.
    bool indicesStale = true;
    // A program went away: a new one may take its address.
    bool programStale = true;
    // A texture was made, filled or freed, which binds or unbinds it:
    // what the units hold is no longer known.
    bool textureBindingsStale = true;
};
using Liveness = std::shared_ptr<DeviceLink>;

} // namespace engine::platform
