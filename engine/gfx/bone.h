#pragma once

#include "engine/gfx/animationController.h"
#include "engine/math/matrix4x4.h"
#include "engine/math/quaternion.h"
#include "engine/math/vector3f.h"

#include <memory>
#include <string>

namespace engine::gfx {

// One joint of a skeleton. The local bind and pose matrices are cached and
// recomputed only after creation (bind) or after the bone was advanced
// (pose); the world matrices follow the parent chain on each call.
class Bone {
public:
    Bone(std::string name, std::shared_ptr<AnimationController> controller,
         const math::Vector3f& bindTranslation, const math::Quaternion& bindRotation,
         const math::Vector3f& restLocation, const math::Quaternion& restRotation);

    void Advance(float frames);

    const math::Matrix4x4& BindLocal();
    const math::Matrix4x4& PoseLocal();
    math::Matrix4x4 BindWorld();
    math::Matrix4x4 PoseWorld();
    // inverse(BindWorld) * PoseWorld: bind-space vertices to the pose; the
    // identity when the bind matrix cannot be inverted.
    math::Matrix4x4 SkinMatrix();

    const std::string& GetName() const { return mName; }
    AnimationController& GetController() const { return *mController; }
    Bone* GetParent() const { return mParent; }
    void SetParent(Bone* parent) { mParent = parent; }

private:
    std::string mName;
    std::shared_ptr<AnimationController> mController;
    math::Matrix4x4 mBindLocal;
    math::Matrix4x4 mPoseLocal;
    math::Vector3f mBindTranslation;
    math::Quaternion mBindRotation;
    math::Vector3f mRestLocation;
    math::Quaternion mRestRotation;
    Bone* mParent;
    bool mBindDirty;
    bool mPoseDirty;
};

} // namespace engine::gfx
