#pragma once

namespace engine::platform {

// Keeps every shared library loaded so far (the OpenGL/EGL driver and all it
// pulled in) loaded until the process ends. SDL unloads the driver when video
// shuts down; the driver's allocations that outlive it would then belong to
// no module, its thread-local blocks would dangle for leak checkers, and a
// later window would load the whole driver again.
void PinLoadedLibraries();

} // namespace engine::platform
