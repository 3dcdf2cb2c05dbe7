#pragma once

#include "engine/gfx/bone.h"

#include <cstdint>
#include <string>
#include <vector>

namespace engine::gfx {

// The skeleton of a skinned mesh. Bones hold pointers to their parents
// inside the bone list, so the list is fixed once the parents are set.
class BoneAnimation {
public:
    BoneAnimation();
    BoneAnimation(const BoneAnimation&) = delete;
    BoneAnimation& operator=(const BoneAnimation&) = delete;

    void AddBone(Bone bone);
    // parents[i] is the index of bone i's parent, -1 for a root. An index out
    // of range or a loop in the hierarchy is reported as an error naming
    // meshName, since the world matrices would recurse forever.
    void SetParents(const std::vector<std::int32_t>& parents, const std::string& meshName);

    // Advances every bone by seconds at the skeleton's frame rate.
    void Advance(float seconds);
    // Rewinds every bone's curves; the cached poses stay until the next Advance.
    void Reset();

    std::vector<Bone>& GetBones() { return mBones; }
    float GetFramesPerSecond() const { return mFramesPerSecond; }

private:
    std::vector<Bone> mBones;
    float mFramesPerSecond;
};

} // namespace engine::gfx
