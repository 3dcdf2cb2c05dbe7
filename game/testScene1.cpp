#include "testScene1.h"

#include "landscape.h"
#include "randomTable.h"
#include "treeBuilder.h"
#include "treeParameters.h"

#include "engine/core/exception.h"
#include "engine/gfx/animationCamera.h"
#include "engine/gfx/demoLoader.h"
#include "engine/gfx/emitterInfo.h"
#include "engine/gfx/geometry.h"
#include "engine/gfx/mesh.h"
#include "engine/gfx/node.h"
#include "engine/math/matrix3x3.h"
#include "engine/wrapper/wrapper.h"

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <numbers>
#include <string>
#include <system_error>
#include <utility>

namespace {

using engine::gfx::MeshData;
using Streams = std::map<MeshData::DataTypes, void*>;

constexpr const char* kSource = ".\\testScene1.cpp";
constexpr const char* kSceneFile = "data/tree.demo";
constexpr const char* kScheduleFile = "data/camera.txt";
constexpr std::uint32_t kPixelShader20 = 0xFFFF0200;
constexpr double kShowEndFrame = 3130.0; // 125.2 s in frames of 1/25 s
constexpr float kLoopFrames = 21.0f;
constexpr float kLoopSeconds = 0.84f;
constexpr float kModelSpeed = 1.2f;
constexpr int kEscape = 27;
constexpr int kIndexSize = 4; // every generated mesh has 32-bit indices

// The post-processing chain the scene's effect scripts render into: scene
// copies (one to distort), the water reflection, and the glow reduced in
// steps, each step with a target to blur through.
const std::array<std::pair<const wchar_t*, int>, 10> kRenderTargets = {{
    {L"waterReflect", 512},
    {L"gaussGlow", 512},
    {L"Framebuffer", 1024},
    {L"FramebufferDistort", 1024},
    {L"gaussGlow256", 256},
    {L"gaussTemp256", 256},
    {L"gaussGlow64", 64},
    {L"gaussTemp64", 64},
    {L"gaussGlow16", 16},
    {L"gaussTemp16", 16},
}};

// For the ASCII texts of this file.
std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// The show's effect scripts are its own data: one that cannot be read ends
// the scene's start with a message that names it (the reader's own errors,
// such as "Effect must be a table", do not).
std::shared_ptr<engine::gfx::Effect> BuildShowEffect(const std::string& path) {
    try {
        return engine::BuildEffect(path);
    } catch (const engine::core::Exception& e) {
        const std::string text = "Cannot build the effect " + path;
        engine::LogError(text, kSource, __LINE__);
        throw engine::core::Exception(Wide(text) + L": " + e.GetText(), e.GetFunction());
    }
}

unsigned TickCount() {
    using namespace std::chrono;
    return static_cast<unsigned>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CheckHardware() {
    if (engine::GetDirect3DCaps().pixelShaderVersion >= kPixelShader20)
        return;
    engine::ShowMessage(
        L"I'm sorry, your hardware does not meet the minimum requirements. The demo needs at "
        L"least Pixel Shader 2.0 support. The demo will now exit.",
        L"Does not compute");
    engine::QuitApplication();
    std::exit(-1);
}

// A mesh of the base node's children.
void AddToBase(engine::gfx::Node& base, std::shared_ptr<engine::gfx::Mesh> mesh) {
    auto node = engine::CreateMeshNode(std::move(mesh));
    node->Parent(&base);
    base.AddChild(node);
}

std::shared_ptr<engine::gfx::Mesh> MakeMesh(MeshArrays& arrays, const Streams& streams,
                                            const std::shared_ptr<engine::gfx::Effect>& effect) {
    return engine::CreateMesh(streams, arrays.indices.data(), arrays.VertexCount(),
                              arrays.IndexCount(), kIndexSize, effect);
}

std::shared_ptr<engine::gfx::Mesh> WoodMesh(MeshArrays& wood,
                                            const std::shared_ptr<engine::gfx::Effect>& effect) {
    return MakeMesh(wood,
                    {{MeshData::Position, wood.positions.data()},
                     {MeshData::Normal, wood.normals.data()},
                     {MeshData::TexCoord, wood.texCoords.data()}},
                    effect);
}

std::shared_ptr<engine::gfx::Mesh> LeafMesh(MeshArrays& leaves,
                                            const std::shared_ptr<engine::gfx::Effect>& effect) {
    return MakeMesh(leaves,
                    {{MeshData::Position, leaves.positions.data()},
                     {MeshData::TexCoord, leaves.texCoords.data()}},
                    effect);
}

// Wood and leaves of every variant at both levels of detail.
struct TreeModels {
    std::shared_ptr<engine::gfx::Mesh> wood[nature::kVariants][2];
    std::shared_ptr<engine::gfx::Mesh> leaves[nature::kVariants][2];
};

TreeModels BuildTreeModels() {
    const auto leafEffect = BuildShowEffect("data/leaf.efx");
    const auto woodEffect = BuildShowEffect("data/tree.efx");
    TreeModels models;
    for (int v = 0; v < nature::kVariants; ++v) {
        nature::TreeVariant variant = nature::BuildTreeVariant(v);
        models.wood[v][0] = WoodMesh(variant.high.wood, woodEffect);
        models.leaves[v][0] = LeafMesh(variant.high.leaves, leafEffect);
        models.wood[v][1] = WoodMesh(variant.low.wood, woodEffect);
        models.leaves[v][1] = LeafMesh(variant.low.leaves, leafEffect);
    }
    return models;
}

void PlaceTree(engine::gfx::Node& place, std::shared_ptr<engine::gfx::Node> node,
               const engine::math::Matrix3x3& turn, const engine::math::Vector3f& at) {
    node->Parent(&place);
    node->LocalTransformation()->Rotate(turn);
    node->LocalTransformation()->Translate(at);
    place.AddChild(std::move(node));
}

// The mesh the node draws through its geometry child.
std::shared_ptr<engine::gfx::Mesh> MeshOf(const engine::gfx::Node* node) {
    if (!node)
        return nullptr;
    for (const auto& child : node->Children())
        if (const auto* geometry = dynamic_cast<const engine::gfx::Geometry*>(child.get()))
            return geometry->GetMesh();
    return nullptr;
}

} // namespace

bool AdvanceModelClock(float& clock, float step) {
    clock += step;
    if (!(clock * 25.0f > kLoopFrames))
        return false;
    while (clock * 25.0f > kLoopFrames)
        clock -= kLoopSeconds;
    return true;
}

bool ShowHasEnded(double elapsed) {
    return elapsed * 25.0 >= kShowEndFrame;
}

TestScene1::TestScene1() {
    Name(L"TestScene1");
    Priority(200);
}

TestScene1::~TestScene1() {
    Kill();
}

void TestScene1::Start() {
    CheckHardware();
    for (const auto& [name, size] : kRenderTargets)
        engine::CreateRenderTarget(name, size);
    LoadScene();
    AddLandscape();
    AddCurve();
    ReadSchedule();
    mNextCue = 0;
    mLastTick = TickCount();
    mComplete = true;
}

// Without the scene file nothing can be shown: its failure names the file.
void TestScene1::LoadScene() {
    try {
        mLoader = engine::gfx::DemoLoader::CreateInstance(Wide(kSceneFile));
    } catch (const engine::core::Exception& e) {
        const std::string text = std::string("Cannot load the scene file ") + kSceneFile;
        engine::LogError(text, kSource, __LINE__);
        throw engine::core::Exception(Wide(text) + L": " + e.GetText(), e.GetFunction());
    }
    mOwnedLoader = mLoader;
    engine::SetRootNode(mLoader->GetBaseNode());
    mModel = MeshOf(mLoader->GetNode("Beast").get());
}

// A schedule that is missing, cannot be looked at, is empty or names cameras
// the scene lacks still lets the show run (from the scene's first camera),
// but not unnoticed.
void TestScene1::ReadSchedule() {
    // With an error code: a symbolic link loop or an unreadable folder would
    // otherwise throw past the kernel, which handles only the engine's errors.
    std::error_code error;
    if (!std::filesystem::exists(kScheduleFile, error)) {
        const std::string schedule = error ? std::string("Cannot read the camera schedule ") +
                                                 kScheduleFile + " (" + error.message() + ")"
                                           : std::string("No camera schedule ") + kScheduleFile;
        engine::LogWarning(schedule + ": the scene's first camera stays active", kSource, __LINE__);
        return;
    }
    const auto cameras = mLoader->GetCameras();
    mCameraSchedule = KnownCameraCues(
        ReadCameraSchedule(kScheduleFile),
        [&](const std::string& name) { return cameras->Cameras().contains(name); },
        [](const CameraCue& cue) {
            engine::LogWarning(std::string("Camera schedule ") + kScheduleFile +
                                   ": the scene has no camera " + cue.name + " (frame " +
                                   std::to_string(cue.frame) + "); the cue is skipped",
                               kSource, __LINE__);
        });
    if (mCameraSchedule.empty())
        engine::LogWarning(std::string("Camera schedule ") + kScheduleFile +
                               " holds no cue: the scene's first camera stays active",
                           kSource, __LINE__);
}

void TestScene1::AddLandscape() {
    randomTable::Fill();
    Landscape landscape = GenerateLandscape();
    // The scene's base node is its root camera.
    engine::gfx::Node* base = mLoader->GetCameras().get();
    const auto terrainEffect = BuildShowEffect("data/terrain.efx");
    const auto grassEffect = BuildShowEffect("data/grass.efx");

    TerrainPatches& terrain = landscape.terrain;
    for (int p = 0; p < terrain.patchCount; ++p) {
        const Streams streams = {{MeshData::Position, terrain.PatchPositions(p)},
                                 {MeshData::Normal, terrain.PatchNormals(p)},
                                 {MeshData::TexCoord, terrain.PatchTexCoords(p)},
                                 {MeshData::Tangent, terrain.PatchWeights(p)}};
        AddToBase(*base,
                  engine::CreateMesh(streams, terrain.PatchIndices(p), terrain.patchVertexCount,
                                     terrain.patchIndexCount, kIndexSize, terrainEffect));
    }
    for (GrassBatch& batch : landscape.grass)
        AddToBase(*base, MakeMesh(batch,
                                  {{MeshData::Position, batch.positions.data()},
                                   {MeshData::Normal, nullptr},
                                   {MeshData::TexCoord, batch.texCoords.data()}},
                                  grassEffect));

    const TreeModels models = BuildTreeModels();
    // A scene without the node has been warned about; it gets no trees.
    const auto place = mLoader->GetNode("TreePlace");
    for (std::uint32_t n = 0; place && n < landscape.trees.size(); ++n) {
        const std::uint32_t v = randomTable::random(100 * n) % nature::kVariants;
        engine::math::Matrix3x3 turn = engine::math::Matrix3x3::Identity;
        turn.ToYRot(randomTable::random01(137 * n) * 2.0f * std::numbers::pi_v<float>);
        // Trunks sink a little into the ground.
        const auto at = landscape.trees[n] - engine::math::Vector3f(0.0f, 0.2f, 0.0f);
        PlaceTree(
            *place,
            engine::CreateLODMeshNode({{50.0f, models.wood[v][0]}, {1000.0f, models.wood[v][1]}}),
            turn, at);
        PlaceTree(*place,
                  engine::CreateLODMeshNode(
                      {{100.0f, models.leaves[v][0]}, {1000.0f, models.leaves[v][1]}}),
                  turn, at);
    }
}

// A red ribbon that turns blue as it ages, trailing "TheCurve".
void TestScene1::AddCurve() {
    engine::gfx::EmitterInfo info;
    info.effect = BuildShowEffect("data/curve.efx");
    info.color = engine::math::Vector4f(1.0f, 0.0f, 0.0f, 1.0f);
    info.colorVelocity = engine::math::Vector4f(-0.1f, 0.0f, 0.1f, 0.0f);
    info.interval = 0.15f;
    engine::AddCurveEmitter(mLoader->GetNode("TheCurve").get(), info);
}

void TestScene1::Update() {
    if (mLoader) {
        const auto cameras = mLoader->GetCameras();
        mNextCue = ApplyDueCues(mCameraSchedule, mNextCue, engine::GetTime() * 25.0,
                                [&](const std::string& name) { cameras->ActiveCamera(name); });
    }
    AnimateModel(static_cast<float>(engine::GetSinceLast()) * kModelSpeed);
    if (engine::isReleased(kEscape))
        engine::QuitApplication();
    // A backward seek makes the music's step negative; the wall clock then
    // keeps the show's end in sight.
    const double sinceLast = engine::GetSinceLast();
    const unsigned now = TickCount();
    mElapsed += sinceLast >= 0.0 ? sinceLast : (now - mLastTick) * 0.001;
    mLastTick = now;
    if (ShowHasEnded(mElapsed)) {
        engine::Sleep(3000); // skipped while capturing
        engine::QuitApplication();
    }
}

void TestScene1::AnimateModel(float step) {
    const bool restarted = AdvanceModelClock(mModelClock, step);
    if (!mModel)
        return;
    if (restarted) {
        mModel->ResetAnimation();
        mModel->AdvanceAnimation(mModelClock);
    } else {
        mModel->AdvanceAnimation(step);
    }
}

void TestScene1::Kill() {
    mModel.reset();
    if (mOwnedLoader)
        mOwnedLoader->DestroyInstance();
    mOwnedLoader = nullptr;
    mLoader = nullptr;
}
