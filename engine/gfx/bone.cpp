#include "engine/gfx/bone.h"

#include "engine/math/matrixHelpers.h"

namespace engine::gfx {

Bone::Bone(std::string name, std::shared_ptr<AnimationController> controller,
           const math::Vector3f& bindTranslation, const math::Quaternion& bindRotation,
           const math::Vector3f& restLocation, const math::Quaternion& restRotation)
    : mName(std::move(name)), mController(std::move(controller)),
      mBindLocal(math::Matrix4x4::Identity), mPoseLocal(math::Matrix4x4::Identity),
      mBindTranslation(bindTranslation), mBindRotation(bindRotation), mRestLocation(restLocation),
      mRestRotation(restRotation), mParent(nullptr), mBindDirty(true), mPoseDirty(true) {}

void Bone::Advance(float frames) {
    mController->Advance(frames);
    mPoseDirty = true;
}

const math::Matrix4x4& Bone::BindLocal() {
    if (mBindDirty) {
        mBindLocal = math::MatrixTransformation(nullptr, &mBindRotation, &mBindTranslation);
        mBindDirty = false;
    }
    return mBindLocal;
}

const math::Matrix4x4& Bone::PoseLocal() {
    if (mPoseDirty) {
        Pose pose = mController->Evaluate();
        pose.location += mRestLocation;
        // Summed, not normalised: the curves were exported for this.
        const math::Quaternion rotation(
            pose.rotation.x + mRestRotation.x, pose.rotation.y + mRestRotation.y,
            pose.rotation.z + mRestRotation.z, pose.rotation.w + mRestRotation.w);
        mPoseLocal = math::MatrixTransformation(nullptr, &rotation, &pose.location) * BindLocal();
        mPoseDirty = false;
    }
    return mPoseLocal;
}

math::Matrix4x4 Bone::BindWorld() {
    return mParent ? BindLocal() * mParent->BindWorld() : BindLocal();
}

math::Matrix4x4 Bone::PoseWorld() {
    return mParent ? PoseLocal() * mParent->PoseWorld() : PoseLocal();
}

math::Matrix4x4 Bone::SkinMatrix() {
    math::Matrix4x4 inverseBind;
    if (!math::MatrixInverse(BindWorld(), inverseBind))
        return math::Matrix4x4::Identity;
    return inverseBind * PoseWorld();
}

} // namespace engine::gfx
