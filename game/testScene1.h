#pragma once

#include "engine/core/module.h"

// The demo's scene: checks the hardware, then runs until Escape is released
// or 125.2 seconds of frame time have passed.
class TestScene1 : public engine::core::Module {
public:
    TestScene1();

    void Start() override;
    void Update() override;
    void Kill() override;

private:
    double mElapsed = 0.0;
    unsigned mLastTick = 0;
};
