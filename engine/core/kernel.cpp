#include "engine/core/kernel.h"

#include "engine/core/exception.h"
#include "engine/core/log.h"
#include "engine/core/stringConversion.h"
#include "engine/platform/messageBox.h"

#include <algorithm>

namespace engine::core {

namespace {
constexpr const char* kSource = ".\\kernel.cpp";
}

bool Kernel::AddModule(Module* module, int key) {
    Logging* log = Logging::Get();
    log->Message("Adding new module " + Narrow(module->Name()), kSource, 76);
    mRegistry.emplace(key, module);
    // Stable, so that modules already in the list keep their order among
    // themselves when one is added during a pass (see Pass).
    mActive.push_back(module);
    std::stable_sort(mActive.begin(), mActive.end(), [](const Module* a, const Module* b) {
        return a->Priority() < b->Priority();
    });
    try {
        module->Start();
        log->Message("Module " + Narrow(module->Name()) + " sucessfully started", kSource, 85);
    } catch (const Exception& e) {
        log->Warning("Failed to start module" + Narrow(module->Name()), kSource, 89);
        platform::ShowMessageBox(e.GetText(), e.GetFunction(), platform::MessageBoxOwner::Engine);
    }
    return true;
}

Module* Kernel::GetModule(int key) const {
    auto it = mRegistry.find(key);
    return it == mRegistry.end() ? nullptr : it->second;
}

bool Kernel::Run() {
    Logging::Get()->Message("Starting main loop", kSource, 27);
    mRunning = true;
    while (mRunning) {
        try {
            Pass();
        } catch (const Exception& e) {
            Logging::Get()->Warning("Caught exception in main game loop: \"" + Narrow(e.GetText()) +
                                        "\" in " + Narrow(e.GetFunction()),
                                    kSource, 65);
            platform::ShowMessageBox(e.GetText(), e.GetFunction(), platform::MessageBoxOwner::None);
        }
    }
    return true;
}

void Kernel::Pass() {
    if (mQuitRequested) {
        KillAll();
        return;
    }
    // Index walk: a retired module is erased in place and the one that
    // followed it takes its slot, so it still gets this pass's update.
    for (size_t i = 0; i < mActive.size();) {
        Module* module = mActive[i];
        if (module->Alive()) {
            module->Update();
            // A module added during the update with a lower priority value
            // went in before this one and moved it back: the walk goes on
            // after this module, so that none is updated twice in a pass.
            if (i >= mActive.size() || mActive[i] != module)
                i = static_cast<size_t>(std::find(mActive.begin(), mActive.end(), module) -
                                        mActive.begin());
            ++i;
        } else {
            mRetired.push_back(module);
            mActive.erase(mActive.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

void Kernel::Quit() {
    Logging::Get()->Message("Quit called", kSource, 126);
    mQuitRequested = true;
}

void Kernel::KillAll() {
    Logging::Get()->Message("Killing all modules", kSource, 98);
    for (Module* module : mActive)
        module->Kill();
    mActive.clear();
    for (Module* module : mRetired)
        module->Kill();
    mRetired.clear();
    mRunning = false;
}

} // namespace engine::core
