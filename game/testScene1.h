#pragma once

#include "engine/core/module.h"

#include <memory>

namespace engine::gfx {
class Node;
}

// The demo's scene: checks the hardware, shows a turning shape until the
// show's own scene is in place, and runs until Escape is released or 125.2
// seconds of frame time have passed.
class TestScene1 : public engine::core::Module {
public:
    TestScene1();

    void Start() override;
    void Update() override;
    void Kill() override;

private:
    std::shared_ptr<engine::gfx::Node> mShape;
    double mElapsed = 0.0;
    unsigned mLastTick = 0;
};
