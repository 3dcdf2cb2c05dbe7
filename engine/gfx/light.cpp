#include "engine/gfx/light.h"

#include "engine/gfx/node.h"
#include "engine/gfx/sceneInfo.h"

namespace engine::gfx {

Light::Light(Node* parent) : Spatial(parent) {}

Light::~Light() = default;

void Light::Update(RenderQueue&) {
    Transformation parentLocal = mParent ? mParent->GetLocalTransformation() : Transformation();
    // Without a frustum record there is no camera: identity stands in.
    const auto& frustums = SceneInfo::Get()->Frustums();
    Transformation cameraLocal = !frustums.empty() && frustums.front().camera
                                     ? frustums.front().camera->GetLocalTransformation()
                                     : Transformation();
    // Invert leaves untouched transformations as they are.
    cameraLocal.Invert();
    parentLocal.Invert();
    mParentWorldInverse = cameraLocal.BuildMatrix() * parentLocal.BuildReverseMatrix();
    mParentWorld = mParent ? mParent->World() : math::Matrix4x4::Identity;
    SceneInfo::Get()->AddLight(this);
}

} // namespace engine::gfx
