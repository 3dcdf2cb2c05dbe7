#include "engine/gfx/renderer.h"

#include "engine/core/Window.h"
#include "engine/core/frameCapture.h"
#include "engine/core/input.h"
#include "engine/core/log.h"
#include "engine/core/resourceManager.h"
#include "engine/core/resourceTypes.h"
#include "engine/core/timer.h"
#include "engine/gfx/effect.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/shader.h"
#include "engine/platform/device.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <thread>

namespace engine::gfx {

namespace {

constexpr const char* kSource = ".\\renderer.cpp";
constexpr int kKeyW = 'W';
constexpr int kKeyS = 'S';
constexpr int kKeyA = 'A';
constexpr int kKeyD = 'D';
constexpr int kKeyQ = 'Q';
constexpr float kMoveSpeed = 40.0f;
constexpr float kTurnSpeed = 0.0014f;
constexpr float kVelocityFloor = 0.01f;
constexpr float kVelocityDamping = 7.0f;
constexpr double kLastFramePeriod = 0.04;
constexpr std::chrono::milliseconds kLostDeviceWait{200};
const std::wstring kLastFrameName = L"lastFrame";

using core::resources::RenderTargetTexture;

// Down in the current input state, whatever the previous one was.
bool IsDown(const core::Input& input, int key) {
    return input.isPressed(key) || input.isHeld(key);
}

[[noreturn]] void Fail(const char* message, int line) {
    core::Logging::Get()->Error(message, kSource, line);
}

// Below the floor a velocity stops at once; above it, it loses 7 dt of itself.
float Damp(float velocity, float dt) {
    if (std::fabs(velocity) >= kVelocityFloor)
        return velocity - dt * velocity * kVelocityDamping;
    return 0.0f;
}

bool SameEffectAndTechnique(const Shader& a, const Shader& b) {
    return &a == &b || (a.EffectPath() == b.EffectPath() &&
                        a.Description().technique == b.Description().technique);
}

platform::Result ClearBackBuffer(platform::Device& device) {
    return device.Clear(platform::ClearTarget | platform::ClearZBuffer,
                        core::CWin32Window::Get()->ClearColor(), 1.0f, 0);
}

} // namespace

Renderer::Renderer()
    : mTopCameraOwner(std::make_shared<Camera>(nullptr)),
      mSleep([](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); }) {
    Priority(12000);
    Name(L"Renderer");
    mTopCamera = mTopCameraOwner.get();
}

Renderer::~Renderer() {
    // The game may keep its root; it must not point at the camera that goes.
    if (mRoot && mRoot->Parent() == mTopCamera)
        mRoot->Parent(nullptr);
}

void Renderer::Start() {
    mPreviousSinceLast = 0.0;
    mDeviceLost = false;
    if (platform::Device* device = core::CWin32Window::Get()->Device())
        mFramebufferSurface = device->GetRenderTarget(0);
    core::ResourceManager::Get()->Get<RenderTargetTexture>(kLastFrameName);
}

void Renderer::Kill() {
    mFramebufferSurface = nullptr;
}

void Renderer::Submit(std::shared_ptr<RenderObject> object) {
    if (!mDrawing || !object || !object->effect)
        return;
    const auto& shaders = object->effect->Shaders();
    const std::hash<std::string> hash;
    for (std::size_t i = 0; i < shaders.size(); ++i) {
        Shader* shader = shaders[i].get();
        RenderQueueEntry::Key key;
        key.priority = shader->Description().priority;
        key.target = reinterpret_cast<std::uintptr_t>(shader->GetTarget().get());
        key.effect = hash(shader->EffectPath());
        key.technique = hash(shader->Description().technique);
        mQueue.push_back({static_cast<int>(i), object, shader, key});
    }
}

void Renderer::SetRootNode(std::shared_ptr<Spatial> root) {
    if (!root) {
        core::Logging::Get()->Warning("Setting NULL root node. Not Allowed.", kSource, __LINE__);
        return;
    }
    root->Parent(mTopCamera);
    mTopCamera->ClearChildren();
    mTopCamera->AddChild(root);
    mRoot = std::move(root);
}

void Renderer::Update() {
    core::Timer* timer = core::Timer::Get();
    if (IsDown(*core::Input::Get(), core::vk::kRight))
        timer->Seek(mPreviousSinceLast);
    mPreviousSinceLast = timer->GetSinceLast();
    const double dt = mPreviousSinceLast;

    HandleDebugInput(dt);

    core::FrameCapture* capture = core::FrameCapture::mInstance;
    if (capture && capture->WarmingUp()) {
        MoveFrame(dt);
    } else if (platform::Device* device = core::CWin32Window::Get()->Device()) {
        if (mDeviceLost && !RestoreDevice(*device))
            return; // the queue waits for the frame that can draw it
        DrawFrame(*device, dt);
    }
    mQueue.clear();
}

void Renderer::HandleDebugInput(double dt) {
    const core::Input* input = core::Input::Get();
    if (mFreeCamera) {
        const float distance = kMoveSpeed * static_cast<float>(dt);
        if (IsDown(*input, kKeyW))
            mTopCamera->TranslateLocalZ(-distance);
        if (IsDown(*input, kKeyS))
            mTopCamera->TranslateLocalZ(distance);
        if (IsDown(*input, kKeyA))
            mTopCamera->TranslateLocalX(distance);
        if (IsDown(*input, kKeyD))
            mTopCamera->TranslateLocalX(-distance);
    }

    if (input->MouseDx() != 0)
        mYawVelocity += static_cast<float>(input->MouseDx());
    if (input->MouseDy() != 0)
        mPitchVelocity += static_cast<float>(input->MouseDy());
    mYawVelocity = Damp(mYawVelocity, static_cast<float>(dt));
    mPitchVelocity = Damp(mPitchVelocity, static_cast<float>(dt));
    if (mFreeCamera) {
        if (std::fabs(mYawVelocity) >= kVelocityFloor)
            mTopCamera->RotateLocalY(mYawVelocity * kTurnSpeed);
        if (std::fabs(mPitchVelocity) >= kVelocityFloor)
            mTopCamera->RotateLocalX(mPitchVelocity * kTurnSpeed);
    }

    if (input->isReleased(kKeyQ))
        mFreeCamera = !mFreeCamera;
}

bool Renderer::RestoreDevice(platform::Device& device) {
    // A Reset that fails leaves the device lost; drawing on it would only
    // lose it again, so the frame is skipped like one that cannot reset yet.
    if (device.TestCooperativeLevel() != platform::Result::DeviceNotReset) {
        mSleep(kLostDeviceWait);
        return false;
    }
    core::Logging::Get()->Message("D3DDevice reseting", kSource, __LINE__);
    const platform::PresentParameters parameters = core::CWin32Window::Get()->PresentParameters();
    if (device.Reset(parameters) != platform::Result::Ok) {
        mSleep(kLostDeviceWait);
        return false;
    }
    core::ResourceManager::Get()->ResetDeviceAll();
    mViewport = {};
    mDeviceLost = false;
    return true;
}

// Emitters, animated nodes and cameras advance in the traversal; nothing is
// submitted or written to the device.
void Renderer::MoveFrame(double dt) {
    mDrawing = false;
    mTopCamera->Update(*this);
    mDrawing = true;
    LastFrameDue(dt);
}

void Renderer::DrawFrame(platform::Device& device, double dt) {
    if (!mFrameStateReady) {
        mCurrentTarget.reset();
        mLastFrame = core::ResourceManager::Get()->Get<RenderTargetTexture>(kLastFrameName);
        mFrameStateReady = true;
    }
    const core::Input* input = core::Input::Get();
    if (input->isPressed(core::vk::kF9))
        core::ResourceManager::Get()->UpdateAll();

    if (device.BeginScene() == platform::Result::Ok) {
        // Nothing else bound geometry this frame yet as far as the shaders know.
        LastBoundGeometry().Reset();
        // The frame goes on in the target the last one ended in.
        if (!mCurrentTarget || mCurrentTarget->IsColorTarget())
            ApplyViewport(device, mCurrentTarget.get());
        ClearBackBuffer(device); // a failed clear still leaves a drawable frame

        if (!mTopCamera)
            Fail("Scene root node is null", __LINE__);
        mTopCamera->Update(*this);

        SortQueue();
        AddScreenQuads();
        SortQueue();
        DrawQueue(device);

        if (input->isPressed(core::vk::kF11))
            SaveScreenshot(device);
        RefreshLastFrame(device, dt);
    }

    device.EndScene();
    if (device.Present() != platform::Result::Ok) {
        core::ResourceManager::Get()->LostDeviceAll();
        mDeviceLost = true;
        core::Logging::Get()->Warning("D3DDevice lost", kSource, __LINE__);
    } else if (core::FrameCapture* capture = core::FrameCapture::mInstance) {
        capture->Take(device);
    }
}

// Stable by construction: ties on the key keep their queue order. std::sort
// with the position as the last criterion needs no scratch buffer, unlike
// std::stable_sort, so a frame allocates nothing here.
void Renderer::SortQueue() {
    for (std::size_t i = 0; i < mQueue.size(); ++i)
        mQueue[i].order = static_cast<std::uint32_t>(i);
    std::sort(mQueue.begin(), mQueue.end(),
              [](const RenderQueueEntry& a, const RenderQueueEntry& b) {
                  if (a.key != b.key)
                      return a.key < b.key;
                  return a.order < b.order;
              });
}

void Renderer::AddScreenQuads() {
    const Shader* last = nullptr;
    // Quads are appended to the queue while it is walked, and walked as well.
    for (std::size_t i = 0; i < mQueue.size(); ++i) {
        Shader* shader = mQueue[i].shader;
        if (last && SameEffectAndTechnique(*last, *shader))
            continue;
        last = shader;
        shader->RenderQuad(*this);
    }
}

void Renderer::DrawQueue(platform::Device& device) {
    mBatch.clear();
    mBatchShader = nullptr;
    for (const RenderQueueEntry& entry : mQueue) {
        Shader* shader = entry.shader;
        const auto target = shader->GetTarget();
        const bool targetChanges = target != mCurrentTarget;
        if (!mBatch.empty() && (targetChanges || !SameEffectAndTechnique(*shader, *mBatchShader))) {
            DrawBatch();
        }
        mBatch.emplace_back(entry.object.get(), shader);
        mBatchShader = shader;
        if (targetChanges)
            SwitchTarget(device, target, !shader->Description().clearSuppressed);
    }
    if (!mBatch.empty())
        DrawBatch();
}

void Renderer::DrawBatch() {
    Shader& shader = *mBatchShader;
    const int passes = shader.BeginPass(0);
    for (int pass = 0; pass < passes; ++pass) {
        for (const auto& [object, own] : mBatch)
            own->Render(*object);
        shader.EndPass();
        shader.BeginPass(pass + 1);
    }
    mBatch.clear();
    mBatchShader = nullptr;
}

void Renderer::SwitchTarget(platform::Device& device,
                            const std::shared_ptr<RenderTargetTexture>& target, bool clear) {
    if (mCurrentTarget && mCurrentTarget->IsColorTarget()) {
        platform::Texture* texture = mCurrentTarget->Handle();
        if (!texture)
            Fail("One or two surfaces are NULL. Failure", __LINE__);
        platform::Surface* level = texture->GetSurfaceLevel(0);
        if (!level)
            Fail("Failed to aquire render target surface", __LINE__);
        platform::Surface* backBuffer = device.GetBackBuffer();
        if (!backBuffer)
            Fail("Failed to get backbuffer surface", __LINE__);
        const bool corner = mViewport != platform::Rect{};
        if (device.StretchRect(backBuffer, corner ? &mViewport : nullptr, level) !=
            platform::Result::Ok)
            Fail("StretchRect failed", __LINE__);
    } else if (mCurrentTarget) {
        mDepthTargetSurface = nullptr;
        if (!target || target->IsColorTarget()) {
            if (device.SetRenderTarget(0, mFramebufferSurface) != platform::Result::Ok)
                Fail("Failed to switch back to framebuffer", __LINE__);
            mViewport = {};
        }
    }

    if (target && !target->IsColorTarget()) {
        platform::Surface* surface = target->GetSurface();
        if (!surface)
            Fail("Failed to aquire depth surface", __LINE__);
        if (device.SetRenderTarget(0, surface) != platform::Result::Ok)
            Fail("Failed to switch to depth render target", __LINE__);
        mDepthTargetSurface = surface;
        mViewport = {};
    } else {
        ApplyViewport(device, target.get());
    }

    if (clear && ClearBackBuffer(device) != platform::Result::Ok)
        Fail("Failed to clear backbuffer", __LINE__);
    mCurrentTarget = target;
}

// A pass into a small target shades only the pixels the target keeps: the
// blur steps of a glow chain, or a reflection drawn at its own resolution.
void Renderer::ApplyViewport(platform::Device& device,
                             const core::resources::RenderTargetTexture* target) {
    platform::Surface* backBuffer = device.GetBackBuffer();
    if (!backBuffer)
        return;
    const platform::Rect whole{0, 0, backBuffer->Width(), backBuffer->Height()};
    platform::Rect corner;
    if (const platform::Texture* texture = target ? target->Handle() : nullptr) {
        corner = {0, 0, std::min(texture->Width(), whole.right),
                  std::min(texture->Height(), whole.bottom)};
        if (corner == whole)
            corner = {};
    }
    if (corner == mViewport)
        return;
    if (device.SetViewport(corner == platform::Rect{} ? whole : corner) != platform::Result::Ok)
        Fail("Failed to set the viewport", __LINE__);
    mViewport = corner;
}

void Renderer::SaveScreenshot(platform::Device& device) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    fs::create_directory("screenshots", ignored);
    int number = 0;
    auto candidate = [&number] {
        return "screenshots/screenshot" + std::to_string(number) + ".png";
    };
    std::string path = candidate();
    core::Logging::Get()->Message("Trying path " + path, kSource, __LINE__);
    while (fs::exists(path, ignored)) {
        ++number;
        path = candidate();
    }
    platform::Surface* backBuffer = device.GetBackBuffer();
    if (!backBuffer)
        Fail("Failed to get backbuffer surface", __LINE__);
    if (device.SaveSurfaceToPng(backBuffer, path) != platform::Result::Ok)
        Fail("Failed to save screenshot", __LINE__);
    core::Logging::Get()->Message("Saved screenshot to " + path, kSource, __LINE__);
}

void Renderer::RefreshLastFrame(platform::Device& device, double dt) {
    if (!LastFrameDue(dt))
        return;
    platform::Surface* level = mLastFrame ? mLastFrame->GetSurface() : nullptr;
    if (!level || !mFramebufferSurface ||
        device.StretchRect(mFramebufferSurface, nullptr, level) != platform::Result::Ok)
        Fail("Last frame StretchRect failed", __LINE__);
}

bool Renderer::LastFrameDue(double dt) {
    mLastFrameAccumulator += dt;
    if (mLastFrameAccumulator <= kLastFramePeriod)
        return false;
    while (mLastFrameAccumulator > kLastFramePeriod)
        mLastFrameAccumulator -= kLastFramePeriod;
    return true;
}

} // namespace engine::gfx
