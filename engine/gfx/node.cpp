#include "engine/gfx/node.h"

#include "engine/gfx/sceneInfo.h"

#include <limits>

namespace engine::gfx {

Node::Node(Spatial* parent) : Spatial(parent) {}

Node::~Node() = default;

unsigned Node::AddChild(std::shared_ptr<Spatial> child) {
    mChildren.push_back(std::move(child));
    return static_cast<unsigned>(mChildren.size() - 1);
}

void Node::RefreshParentMatrices() {
    if (!mParent)
        return;
    const SceneInfo* info = SceneInfo::Get();
    // Without a frustum record there is no camera to stop at: use the
    // parent's matrices as for any other parent.
    if (!info->Frustums().empty() && info->Frustums().front().camera == mParent) {
        mParentWorld = math::Matrix4x4::Identity;
        mParentWorldInverse = math::Matrix4x4::Identity;
    } else {
        mParentWorld = mParent->World();
        mParentWorldInverse = mParent->WorldInverse();
    }
}

void Node::Update(RenderQueue& queue) {
    RefreshParentMatrices();
    for (const auto& child : mChildren)
        child->Update(queue);
}

std::pair<float, Spatial*> Node::TraverseRay(math::Vector3f direction, math::Vector3f origin) {
    std::pair<float, Spatial*> best{std::numeric_limits<float>::infinity(), nullptr};
    for (const auto& child : mChildren) {
        auto hit = child->TraverseRay(direction, origin);
        if (hit.first < best.first)
            best = hit;
    }
    return best;
}

} // namespace engine::gfx
