#pragma once

#include "engine/engineApi.h"
#include "engine/gfx/spatial.h"

#include <memory>
#include <vector>

namespace engine::gfx {

/// The only spatial with children; it owns them jointly with whoever else
/// holds them. Adding a child does not set the child's parent pointer.
class ENGINE_API Node : public Spatial {
public:
    explicit Node(Spatial* parent);
    ~Node() override;

    unsigned AddChild(std::shared_ptr<Spatial> child);
    const std::vector<std::shared_ptr<Spatial>>& Children() const { return mChildren; }
    /// Drops every child; only the renderer does this, when its scene changes.
    void ClearChildren() { mChildren.clear(); }

    void Update(RenderQueue& queue) override;
    std::pair<float, Spatial*> TraverseRay(math::Vector3f direction,
                                           math::Vector3f origin) override;

protected:
    /// Refreshes the cached parent matrices from the parent; identity when the
    /// parent is the camera of the frame's first frustum record.
    void RefreshParentMatrices();

    std::vector<std::shared_ptr<Spatial>> mChildren;
};

} // namespace engine::gfx
