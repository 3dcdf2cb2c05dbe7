#include "player/showScene.h"

#include "engine/core/exception.h"
#include "engine/gfx/animationCamera.h"
#include "engine/gfx/demoLoader.h"
#include "engine/gfx/node.h"
#include "engine/wrapper/wrapper.h"

#include <string>
#include <utility>

namespace {

constexpr const char* kSource = ".\\showScene.cpp";
constexpr int kEscape = 27;

// Names in a manifest are ASCII in practice; any other byte is kept as the
// character of the same number.
std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// Logs the failure as an error row and raises it with the engine's own
// reason appended.
[[noreturn]] void Fail(const std::string& text, const engine::core::Exception& cause) {
    engine::LogError(text, kSource, __LINE__);
    throw engine::core::Exception(Wide(text) + L": " + cause.GetText(), cause.GetFunction());
}

} // namespace

ShowScene::ShowScene(engine::gfx::ShowManifest manifest) : mManifest(std::move(manifest)) {
    Name(L"ShowScene");
    Priority(200);
}

ShowScene::~ShowScene() {
    Kill();
}

void ShowScene::Start() {
    engine::SetWindowTitle(Wide(mManifest.title));
    for (const auto& target : mManifest.targets)
        engine::CreateRenderTarget(Wide(target.name), target.size);
    LoadScene();
    AddEmitters();
    ReadSchedule();
    mNextCue = 0;
    mComplete = true;
}

void ShowScene::LoadScene() {
    try {
        mLoader = engine::gfx::DemoLoader::CreateInstance(Wide(mManifest.scene));
    } catch (const engine::core::Exception& e) {
        Fail("Cannot load the scene file " + mManifest.scene, e);
    }
    engine::SetRootNode(mLoader->GetBaseNode());
}

void ShowScene::AddEmitters() {
    using Kind = engine::gfx::ShowEmitter::Kind;
    for (std::size_t i = 0; i < mManifest.emitters.size(); ++i) {
        const engine::gfx::ShowEmitter& emitter = mManifest.emitters[i];
        const std::shared_ptr<engine::gfx::Node> node = mLoader->GetNode(emitter.node);
        if (!node) {
            const std::string text = "Emitter " + std::to_string(i + 1) +
                                     " of the manifest: " + mManifest.scene + " has no node " +
                                     emitter.node;
            engine::LogError(text, kSource, __LINE__);
            throw engine::core::Exception(Wide(text), L"ShowScene");
        }
        engine::gfx::PlaneEmitterInfo info = emitter.info;
        try {
            info.effect = engine::BuildEffect(emitter.effect);
        } catch (const engine::core::Exception& e) {
            Fail("Cannot build the effect " + emitter.effect, e);
        }
        if (emitter.kind == Kind::Plane)
            engine::AddPlaneParticleEmitter(node.get(), info);
        else if (emitter.kind == Kind::Curve)
            engine::AddCurveEmitter(node.get(), info);
        else
            engine::AddParticleEmitter(node.get(), info);
    }
}

// Cues naming cameras the scene lacks are skipped with a warning each.
void ShowScene::ReadSchedule() {
    const auto cameras = mLoader->GetCameras();
    mCameraSchedule = KnownCameraCues(
        ReadCameraSchedule(mManifest.cameras),
        [&](const std::string& name) { return cameras->Cameras().contains(name); },
        [&](const CameraCue& cue) {
            engine::LogWarning("Camera schedule " + mManifest.cameras +
                                   ": the scene has no camera " + cue.name + " (frame " +
                                   std::to_string(cue.frame) + "); the cue is skipped",
                               kSource, __LINE__);
        });
    if (mCameraSchedule.empty())
        engine::LogWarning("Camera schedule " + mManifest.cameras +
                               " holds no cue: the scene's first camera stays active",
                           kSource, __LINE__);
}

void ShowScene::Update() {
    if (mLoader) {
        const auto cameras = mLoader->GetCameras();
        mNextCue = ApplyDueCues(mCameraSchedule, mNextCue, engine::GetTime() * 25.0,
                                [&](const std::string& name) { cameras->ActiveCamera(name); });
    }
    if (engine::isReleased(kEscape) || engine::GetTime() >= mManifest.length)
        engine::QuitApplication();
}

void ShowScene::Kill() {
    if (mLoader)
        mLoader->DestroyInstance();
    mLoader = nullptr;
}
