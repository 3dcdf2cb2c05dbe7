#pragma once

#include "engine/core/module.h"
#include "engine/core/singleton.h"

#include <map>
#include <vector>

namespace engine::core {

// Runs the registered modules once per pass of the main loop, in ascending
// priority, until a quit is requested. The kernel never owns its modules.
class Kernel : public pattern::Singleton<Kernel> {
public:
    bool AddModule(Module* module, int key);
    // Null for a key that was never registered.
    Module* GetModule(int key) const;
    bool Run();
    void Quit();
    void KillAll();
    // One pass of the main loop: kills everything when a quit is pending,
    // otherwise updates every alive module and retires the others.
    void Pass();

private:
    std::vector<Module*> mActive;
    std::vector<Module*> mRetired;
    std::map<int, Module*> mRegistry;
    bool mRunning = false;
    bool mQuitRequested = false;
};

} // namespace engine::core
