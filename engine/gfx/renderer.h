#pragma once

#include "engine/core/module.h"
#include "engine/gfx/camera.h"
#include "engine/gfx/renderQueue.h"
#include "engine/platform/deviceTypes.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace engine::platform {
class Device;
class Surface;
} // namespace engine::platform

namespace engine::core::resources {
class RenderTargetTexture;
}

namespace engine::gfx {

class Shader;
class Spatial;

// One pass of one object: the index of a shader in the object's effect.
// The sort key is computed once, when the entry is submitted.
struct RenderQueueEntry {
    struct Key {
        std::int32_t priority = 0;
        std::uintptr_t target = 0;
        std::size_t effect = 0;
        std::size_t technique = 0;
        auto operator<=>(const Key&) const = default;
    };

    int pass = 0;
    std::shared_ptr<RenderObject> object;
    Shader* shader = nullptr;
    Key key;
    std::uint32_t order = 0; // position before the sort, for ties
};

// The module that draws one frame per pass of the kernel: it owns the top of
// the scene graph, collects what the drawables submit, orders it by pass
// priority and target and draws it batch by batch. Colour targets are drawn
// in the back buffer and copied out when the target changes; only depth
// targets are bound as render targets.
class Renderer : public core::Module, public RenderQueue {
public:
    using SleepFunction = std::function<void(std::chrono::milliseconds)>;

    Renderer();
    ~Renderer() override;

    void Start() override;
    void Update() override;
    void Kill() override;

    void Submit(std::shared_ptr<RenderObject> object) override;
    bool Drawing() const override { return mDrawing; }
    // Makes `root` the only child of the top camera; null warns and changes
    // nothing.
    void SetRootNode(std::shared_ptr<Spatial> root);

    // The wait between attempts to reset a lost device; tests replace it.
    void SetSleepFunction(SleepFunction sleep) { mSleep = std::move(sleep); }

    Camera* GetTopCamera() const { return mTopCamera; }
    const std::shared_ptr<Spatial>& Root() const { return mRoot; }
    const std::vector<RenderQueueEntry>& Queue() const { return mQueue; }
    bool DeviceLost() const { return mDeviceLost; }
    bool FreeCamera() const { return mFreeCamera; }
    float YawVelocity() const { return mYawVelocity; }
    float PitchVelocity() const { return mPitchVelocity; }
    double LastFrameAccumulator() const { return mLastFrameAccumulator; }

private:
    void HandleDebugInput(double dt);
    // False while the device cannot be reset yet.
    bool RestoreDevice(platform::Device& device);
    void DrawFrame(platform::Device& device, double dt);
    // A frame before a capture's first one: the scene moves as when drawn.
    void MoveFrame(double dt);
    void SortQueue();
    void AddScreenQuads();
    void DrawQueue(platform::Device& device);
    void DrawBatch();
    void SwitchTarget(platform::Device& device,
                      const std::shared_ptr<core::resources::RenderTargetTexture>& target,
                      bool clear);
    // Draws where `target` keeps its picture: a colour target smaller than
    // the back buffer in the corner of its own size, anything else on the
    // whole back buffer.
    void ApplyViewport(platform::Device& device,
                       const core::resources::RenderTargetTexture* target);
    void SaveScreenshot(platform::Device& device);
    void RefreshLastFrame(platform::Device& device, double dt);
    // Whether the last frame's copy is due after `dt` more seconds.
    bool LastFrameDue(double dt);

    bool mDeviceLost = false;
    bool mDrawing = true;
    Camera* mTopCamera = nullptr;
    std::shared_ptr<Camera> mTopCameraOwner;
    std::shared_ptr<Spatial> mRoot;
    platform::Surface* mFramebufferSurface = nullptr;
    platform::Surface* mDepthTargetSurface = nullptr;
    double mPreviousSinceLast = 0.0;
    std::vector<RenderQueueEntry> mQueue;

    // Kept from frame to frame. The current target is never reset: a frame
    // that ends on a colour target has it copied at the next frame's first
    // target change.
    bool mFrameStateReady = false;
    std::shared_ptr<core::resources::RenderTargetTexture> mCurrentTarget;
    // The device's viewport as last set; empty for the whole back buffer,
    // which the device has after every reset and target change.
    platform::Rect mViewport;
    std::shared_ptr<core::resources::RenderTargetTexture> mLastFrame;
    double mLastFrameAccumulator = 0.0;
    bool mFreeCamera = false;
    float mYawVelocity = 0.0f;
    float mPitchVelocity = 0.0f;

    // The batch being gathered, each object with the shader that submitted
    // it: objects share the effect file and technique, not their script's
    // parameter values. Its storage is reused from frame to frame.
    std::vector<std::pair<const RenderObject*, Shader*>> mBatch;
    Shader* mBatchShader = nullptr;
    SleepFunction mSleep;
};

} // namespace engine::gfx
