#pragma once

#include "engine/engineApi.h"

namespace engine {

namespace core {
class Module;
}

// Registers a module under a key; the kernel starts it at once.
ENGINE_API void AddModule(core::Module* module, int key);
// Adds the timer, runs the main loop until a quit, then deletes the engine's
// modules and singletons.
ENGINE_API void StartApplication();
ENGINE_API void QuitApplication();

// Music time of the current pass and the time since the previous pass, in
// seconds; 0 before the timer has run.
ENGINE_API double GetTime();
ENGINE_API double GetSinceLast();

// Key edges and levels by Win32 virtual-key code.
ENGINE_API bool isPressed(int key);
ENGINE_API bool isHeld(int key);
ENGINE_API bool isReleased(int key);

} // namespace engine
