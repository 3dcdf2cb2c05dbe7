#include "engine/gfx/animationCamera.h"

#include "engine/core/Window.h"
#include "engine/core/log.h"
#include "engine/gfx/animationNode.h"
#include "engine/gfx/frustumRecord.h"
#include "engine/gfx/sceneInfo.h"

namespace engine::gfx {

namespace {
constexpr const char* kSource = "camera";
} // namespace

AnimationCamera::AnimationCamera(Spatial* parent) : Node(parent) {}

AnimationCamera::~AnimationCamera() = default;

math::Matrix4x4 AnimationCamera::World() {
    return mParentWorld;
}

math::Matrix4x4 AnimationCamera::WorldInverse() {
    return mParentWorldInverse;
}

void AnimationCamera::AddCamera(const std::string& name, AnimationNode* node) {
    const bool first = mCameras.empty();
    mCameras[name] = node;
    if (first) {
        mActive = node;
        mActiveName = name;
    }
}

void AnimationCamera::ActiveCamera(const std::string& name) {
    if (!mCameras.contains(name))
        core::Logging::Get()->Warning("No such camera " + name + " found", kSource, __LINE__);
    mActive = mCameras[name];
    mActiveName = name;
}

void AnimationCamera::Update(RenderQueue& queue) {
    if (!mActive)
        core::Logging::Get()->Error("There is no active camera", kSource, __LINE__);

    // The camera object's curves as they stand: its own Update advances
    // them, so the view follows the object one frame of animation late.
    const Transformation placement = mActive->BuildTransformation();
    Transformation view = placement;
    view.Invert();
    mTransformation = view;

    // Placement = local x parent's local (one parent level); the view is its
    // inverse. Both are settled before the children read them, so a child's
    // world and world inverse always belong to the same frame.
    mParentWorld = view.BuildReverseMatrix();
    mParentWorldInverse = placement.BuildMatrix();
    if (Spatial* parent = mActive->Parent()) {
        Transformation parentView = parent->GetLocalTransformation();
        parentView.Invert();
        mParentWorld = parentView.BuildReverseMatrix() * mParentWorld;
        mParentWorldInverse = mParentWorldInverse * parent->GetLocalTransformation().BuildMatrix();
    }

    SceneInfo::Get()->AddFrustum(
        FrustumRecord::FromProjection(core::CWin32Window::Get()->Projection(), mActive));

    for (const auto& child : mChildren)
        child->Update(queue);

    mTransformation = placement;
}

} // namespace engine::gfx
