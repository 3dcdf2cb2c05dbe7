#include "engine/gfx/animationNode.h"

#include "engine/core/timer.h"
#include "engine/gfx/animationController.h"

namespace engine::gfx {

namespace {
constexpr double kFramesPerSecond = 25.0;
// Layer values are whole numbers: 1 shows the node, 2 and above hide it.
constexpr float kHiddenLayer = 1.1f;
} // namespace

AnimationNode::AnimationNode(Spatial* parent) : Node(parent) {}

AnimationNode::~AnimationNode() = default;

void AnimationNode::SetController(std::shared_ptr<AnimationController> controller) {
    mController = std::move(controller);
}

Transformation AnimationNode::BuildTransformation() const {
    Transformation t;
    if (mController) {
        // Node placement has no use for the time delta a Time curve reports.
        float timeDelta = 0.0f;
        mController->ApplyToTransformation(timeDelta, t);
    }
    return t;
}

void AnimationNode::Update(RenderQueue& queue) {
    if (mController) {
        const double seconds = core::Timer::Get()->GetSinceLast();
        mController->Advance(static_cast<float>(seconds * kFramesPerSecond));
        if (mFirstUpdate)
            mLayer = mController->GetNamedValue("Layer");
    }
    mFirstUpdate = false;
    if (mLayer && *mLayer > kHiddenLayer)
        return;
    mTransformation = BuildTransformation();
    Node::Update(queue);
}

} // namespace engine::gfx
