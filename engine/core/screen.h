#pragma once

#include "engine/core/module.h"
#include "engine/core/windowSettings.h"
#include "engine/platform/windowMessage.h"

namespace engine::core {

// The module that owns the window's life in the kernel: it creates the
// window and device, pumps window events first in every pass, and releases
// the device when all modules are killed.
class CScreen : public Module {
public:
    CScreen();

    void Create(const WindowSettings& settings);

    void Start() override;
    void Update() override;
    void Kill() override;

    const platform::WindowMessage& LastMessage() const { return mLastMessage; }

private:
    platform::WindowMessage mLastMessage;
};

} // namespace engine::core
