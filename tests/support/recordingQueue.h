#pragma once

#include "engine/gfx/renderQueue.h"

#include <memory>
#include <vector>

namespace kovra::test {

// Keeps what a scene traversal submits, in place of the renderer.
class RecordingQueue : public engine::gfx::RenderQueue {
public:
    void Submit(std::shared_ptr<engine::gfx::RenderObject> object) override {
        objects.push_back(std::move(object));
    }
    std::vector<std::shared_ptr<engine::gfx::RenderObject>> objects;
};

} // namespace kovra::test
