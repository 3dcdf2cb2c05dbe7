#pragma once

namespace engine::platform {

// Keeps every OpenGL/EGL driver library loaded so far loaded until the
// process ends. SDL unloads them when video shuts down; the driver's
// allocations that outlive it would then belong to no module, and a later
// window would load the whole driver again.
void PinGraphicsDrivers();

} // namespace engine::platform
