#pragma once

#include "engine/engineApi.h"
#include "engine/gfx/node.h"

#include <map>
#include <string>

namespace engine::gfx {

class AnimationNode;

/// Root of a loaded scene. It knows the scene's camera objects by name and
/// every frame makes the active one's placement the view: its world matrix
/// is the inverse of that placement, so everything below it lands in the
/// active camera's view space. It publishes the frame's frustum record, with
/// the active camera object as the record's camera, before its children
/// update.
class ENGINE_API AnimationCamera : public Node {
public:
    explicit AnimationCamera(Spatial* parent);
    ~AnimationCamera() override;

    /// The view matrix of the current frame.
    math::Matrix4x4 World() override;
    /// The active camera's placement, the inverse of World().
    math::Matrix4x4 WorldInverse() override;
    void Update(RenderQueue& queue) override;

    /// The nodes stay owned by the scene graph; the first one added becomes
    /// the active camera.
    void AddCamera(const std::string& name, AnimationNode* node);
    /// Warns when no camera has that name; the next Update then fails.
    void ActiveCamera(const std::string& name);

    AnimationNode* GetActiveCamera() const { return mActive; }
    const std::string& GetActiveName() const { return mActiveName; }
    const std::map<std::string, AnimationNode*>& Cameras() const { return mCameras; }

private:
    std::map<std::string, AnimationNode*> mCameras;
    AnimationNode* mActive = nullptr;
    std::string mActiveName;
};

} // namespace engine::gfx
