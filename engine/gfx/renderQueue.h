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
    // False while the scene only moves, before a capture's first frame:
    // drawables then skip the work that only drawing needs.
    virtual bool Drawing() const { return true; }
};

} // namespace engine::gfx
