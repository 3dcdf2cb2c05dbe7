#pragma once

#include "engine/core/module.h"

#include <string>
#include <utility>
#include <vector>

namespace engine::gfx {
class DemoLoader;
}

// The example's scene: loads "data/tree.demo", lays a ground drawn by the
// effect "data/ground.efx" below its cameras and cuts between them as
// "data/camera.txt" says (lines "FRAME CAMERA", frames of 1/25 s).
// Escape quits.
class ExampleScene : public engine::core::Module {
public:
    ExampleScene();

    void Start() override;
    void Update() override;
    void Kill() override;

private:
    engine::gfx::DemoLoader* mLoader = nullptr;
    std::vector<std::pair<int, std::string>> mCues;
    std::size_t mNextCue = 0;
};
