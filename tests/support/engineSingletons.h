#pragma once

#include "engine/core/Window.h"
#include "engine/core/input.h"
#include "engine/core/kernel.h"
#include "engine/core/resourceManager.h"
#include "engine/core/timer.h"
#include "engine/gfx/effectPool.h"
#include "engine/gfx/sceneInfo.h"

namespace kovra::test {

// Ends a test that ran the engine on a real window: the effects and
// resources go before the window whose device holds their objects.
inline void DeleteEngineSingletons() {
    delete engine::gfx::EffectPool::mInstance;
    delete engine::core::ResourceManager::mInstance;
    delete engine::core::CWin32Window::mInstance;
    delete engine::core::Input::mInstance;
    delete engine::core::Timer::mInstance;
    delete engine::gfx::SceneInfo::mInstance;
    delete engine::core::Kernel::mInstance;
}

} // namespace kovra::test
