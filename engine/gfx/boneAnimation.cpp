#include "engine/gfx/boneAnimation.h"

#include "engine/core/log.h"

namespace engine::gfx {

BoneAnimation::BoneAnimation() : mFramesPerSecond(25.0f) {}

void BoneAnimation::AddBone(Bone bone) {
    mBones.push_back(std::move(bone));
}

void BoneAnimation::SetParents(const std::vector<std::int32_t>& parents,
                               const std::string& meshName) {
    const std::size_t count = mBones.size();
    std::vector<std::int32_t> parentOf(count, -1);
    for (std::size_t i = 0; i < count && i < parents.size(); ++i) {
        if (parents[i] < -1 || parents[i] >= static_cast<std::int32_t>(count))
            core::Logging::Get()->Error(meshName + " has an invalid bone hierarchy", "KVRMesh",
                                        __LINE__);
        parentOf[i] = parents[i];
    }
    // Walk each chain once; meeting a bone of the chain being walked is a loop.
    enum : char { Unseen, OnChain, Done };
    std::vector<char> state(count, Unseen);
    for (std::size_t i = 0; i < count; ++i) {
        std::int32_t b = static_cast<std::int32_t>(i);
        while (b >= 0 && state[b] == Unseen) {
            state[b] = OnChain;
            b = parentOf[b];
        }
        if (b >= 0 && state[b] == OnChain)
            core::Logging::Get()->Error(meshName + " has an invalid bone hierarchy", "KVRMesh",
                                        __LINE__);
        for (b = static_cast<std::int32_t>(i); b >= 0 && state[b] == OnChain; b = parentOf[b])
            state[b] = Done;
    }
    for (std::size_t i = 0; i < count; ++i)
        mBones[i].SetParent(parentOf[i] < 0 ? nullptr : &mBones[parentOf[i]]);
}

void BoneAnimation::Advance(float seconds) {
    for (Bone& bone : mBones)
        bone.Advance(seconds * mFramesPerSecond);
}

void BoneAnimation::Reset() {
    for (Bone& bone : mBones)
        bone.GetController().Reset();
}

} // namespace engine::gfx
