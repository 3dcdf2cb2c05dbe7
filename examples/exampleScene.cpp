#include "exampleScene.h"

#include "engine/gfx/animationCamera.h"
#include "engine/gfx/demoLoader.h"
#include "engine/gfx/node.h"
#include "engine/math/vector3f.h"
#include "engine/wrapper/wrapper.h"

#include <fstream>

namespace {

constexpr int kEscape = 27; // virtual-key code

// A square of ground, 400 units a side, centred below the scene's origin.
void AddGround(engine::gfx::Node& base) {
    engine::math::Vector3f corners[] = {
        {-200, 0, -200}, {200, 0, -200}, {200, 0, 200}, {-200, 0, 200}};
    int indices[] = {0, 1, 2, 0, 2, 3};
    auto mesh = engine::CreateMesh({{engine::gfx::MeshData::Position, corners}}, indices, 4, 6,
                                   sizeof(int), engine::BuildEffect("data/ground.efx"));
    auto node = engine::CreateMeshNode(mesh);
    node->Parent(&base);
    base.AddChild(node);
}

} // namespace

ExampleScene::ExampleScene() {
    Name(L"ExampleScene");
    Priority(200);
}

void ExampleScene::Start() {
    mLoader = engine::gfx::DemoLoader::CreateInstance(L"data/tree.demo");
    engine::SetRootNode(mLoader->GetBaseNode());
    AddGround(*mLoader->GetCameras());
    std::ifstream schedule("data/camera.txt");
    int frame = 0;
    std::string camera;
    while (schedule >> frame >> camera)
        mCues.emplace_back(frame, camera);
}

void ExampleScene::Update() {
    for (; mNextCue < mCues.size() && mCues[mNextCue].first <= engine::GetTime() * 25; ++mNextCue)
        mLoader->GetCameras()->ActiveCamera(mCues[mNextCue].second);
    if (engine::isReleased(kEscape))
        engine::QuitApplication();
}

void ExampleScene::Kill() {
    if (mLoader)
        mLoader->DestroyInstance();
    mLoader = nullptr;
}
