#pragma once

#include <memory>

namespace engine::gfx {

struct RenderObject;

// Where drawables hand in their work during the scene traversal: the
// renderer in the running engine, a recorder in tests.
class RenderQueue {
public:
    virtual ~RenderQueue() = default;
    virtual void Submit(std::shared_ptr<RenderObject> object) = 0;
};

} // namespace engine::gfx
