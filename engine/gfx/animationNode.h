#pragma once

#include "engine/gfx/node.h"
#include "engine/gfx/transformation.h"

#include <memory>

namespace engine::gfx {

class AnimationController;

// A node placed by its curves: every frame the controller advances by the
// music's elapsed time (25 frames a second) and the local transformation is
// rebuilt from its pipes. A "Layer" curve above 1.1 hides the node and its
// whole subtree, while the curves keep moving.
class AnimationNode : public Node {
public:
    explicit AnimationNode(Spatial* parent);
    ~AnimationNode() override;

    void SetController(std::shared_ptr<AnimationController> controller);
    const std::shared_ptr<AnimationController>& GetController() const { return mController; }

    // The placement the curves give now, from identity, without advancing
    // them; identity without a controller.
    Transformation BuildTransformation() const;

    void Update(RenderQueue& queue) override;

private:
    std::shared_ptr<AnimationController> mController;
    const float* mLayer = nullptr;
    bool mFirstUpdate = true;
};

} // namespace engine::gfx
