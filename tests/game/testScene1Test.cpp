#include "game/testScene1.h"
#include "game/landscape.h"

#include "engine/core/Window.h"
#include "engine/core/input.h"
#include "engine/core/kernel.h"
#include "engine/core/resourceManager.h"
#include "engine/core/resourceTypes.h"
#include "engine/gfx/animationCamera.h"
#include "engine/gfx/curveEmitter.h"
#include "engine/gfx/lodGeometry.h"
#include "engine/gfx/renderer.h"
#include "engine/platform/messageBox.h"
#include "engine/platform/recordingDevice.h"
#include "engine/wrapper/wrapper.h"
#include "support/logCapture.h"
#include "support/tinyShow.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

using namespace kovra::test;
namespace core = engine::core;
namespace gfx = engine::gfx;
using engine::platform::RecordingDevice;

namespace {

TEST(ModelLoop, WrapsBackByWholeLoopsOnceItPassesFrame21) {
    float clock = 0.0f;
    EXPECT_FALSE(AdvanceModelClock(clock, 0.8f)); // frame 20
    EXPECT_FLOAT_EQ(clock, 0.8f);
    EXPECT_TRUE(AdvanceModelClock(clock, 0.1f)); // frame 22.5: one loop back
    EXPECT_NEAR(clock, 0.06f, 1e-6f);
    EXPECT_TRUE(AdvanceModelClock(clock, 1.8f)); // frame 46.5: two loops back
    EXPECT_NEAR(clock, 0.18f, 1e-5f);
    clock = 0.0f;
    EXPECT_FALSE(AdvanceModelClock(clock, 0.83f)); // frame 20.75 stays
    EXPECT_FLOAT_EQ(clock, 0.83f);
}

TEST(ShowEnd, ComesAt125Point2Seconds) {
    EXPECT_FALSE(ShowHasEnded(125.19));
    EXPECT_TRUE(ShowHasEnded(125.2));
    // 3130 frames of 1/25 s add up to the end as well.
    double total = 0.0;
    for (int frame = 0; frame < 3130; ++frame) {
        EXPECT_FALSE(ShowHasEnded(total)) << frame;
        total += 0.04;
    }
    EXPECT_TRUE(ShowHasEnded(total + 1e-9));
}

// The engine on a recording device in a scratch folder, as the program
// starts it; the scene module is added by each test.
class SceneModule : public ::testing::Test {
protected:
    SceneModule() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        mPreviousBoxes = engine::platform::SetMessageBoxHandler(
            [this](const engine::platform::MessageBoxRequest& r) { boxes.push_back(r.text); });
        core::CWin32Window::SetDeviceFactory([this](SDL_Window*, const auto& parameters) {
            auto recording = std::make_unique<RecordingDevice>();
            recording->Reset(parameters);
            device = recording.get();
            return recording;
        });
        engine::CreateKOVRAWindow(engine::WindowSettings{});
        device->ClearCalls();
    }
    ~SceneModule() override {
        engine::QuitApplication();
        engine::StartApplication();
        core::CWin32Window::SetDeviceFactory({});
        engine::platform::SetMessageBoxHandler(mPreviousBoxes);
    }

    std::shared_ptr<gfx::AnimationCamera> Root() const {
        auto* renderer = dynamic_cast<gfx::Renderer*>(core::Kernel::Get()->GetModule(10));
        return renderer ? std::dynamic_pointer_cast<gfx::AnimationCamera>(renderer->Root())
                        : nullptr;
    }

    LogCapture log;
    RecordingDevice* device = nullptr;
    std::vector<std::wstring> boxes;
    TestScene1 scene;

private:
    engine::platform::MessageBoxHandler mPreviousBoxes;
};

TEST_F(SceneModule, CreatesThePostProcessingTargetsFirstInOrder) {
    engine::AddModule(&scene, 10100);
    std::vector<std::pair<double, double>> sizes;
    for (const auto& call : device->Calls())
        if (call.call == RecordingDevice::Call::CreateTexture && sizes.size() < 10)
            sizes.emplace_back(call.args[0], call.args[1]);
    EXPECT_EQ(sizes, (std::vector<std::pair<double, double>>{{512, 512},
                                                             {512, 512},
                                                             {1024, 1024},
                                                             {1024, 1024},
                                                             {256, 256},
                                                             {256, 256},
                                                             {64, 64},
                                                             {64, 64},
                                                             {16, 16},
                                                             {16, 16}}));
    // Each is known by its name: looking them up makes no new texture.
    const std::size_t textures = device->Count(RecordingDevice::Call::CreateTexture);
    for (const wchar_t* name :
         {L"waterReflect", L"gaussGlow", L"Framebuffer", L"FramebufferDistort", L"gaussGlow256",
          L"gaussTemp256", L"gaussGlow64", L"gaussTemp64", L"gaussGlow16", L"gaussTemp16"})
        EXPECT_NE(core::ResourceManager::Get()->Get<core::resources::RenderTargetTexture>(name),
                  nullptr)
            << std::string(name, name + std::wcslen(name));
    EXPECT_EQ(device->Count(RecordingDevice::Call::CreateTexture), textures);
}

TEST_F(SceneModule, AMissingSceneFileIsNamedAndLeavesNothingToShow) {
    engine::AddModule(&scene, 10100);
    EXPECT_FALSE(scene.HasScene());
    EXPECT_FALSE(scene.IsComplete());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"Cannot load the scene file data/tree.demo: No such demo file found");
    const std::string rows = log.Rows();
    EXPECT_NE(rows.find("<td>ERROR</td><td>"), std::string::npos);
    EXPECT_NE(rows.find("<td>.\\testScene1.cpp</td><td>Cannot load the scene file "
                        "data/tree.demo</td></tr>"),
              std::string::npos)
        << rows;
}

TEST_F(SceneModule, BuildsTheLandscapeTreesAndRibbonIntoTheLoadedScene) {
    WriteTinyShow();
    engine::AddModule(&scene, 10100);
    ASSERT_TRUE(scene.HasScene());
    EXPECT_TRUE(boxes.empty()) << std::string(boxes[0].begin(), boxes[0].end());
    const Landscape landscape = GenerateLandscape();
    const auto root = Root();
    ASSERT_NE(root, nullptr);
    // Four objects of the file, then 25 terrain patches and the grass.
    const auto& top = root->Children();
    ASSERT_EQ(top.size(), 4u + 25u + landscape.grass.size());
    for (std::size_t i = 4; i < top.size(); ++i)
        EXPECT_EQ(top[i]->Parent(), root.get()) << i;

    auto* place = dynamic_cast<gfx::Node*>(top[1].get());
    ASSERT_NE(place, nullptr);
    ASSERT_EQ(place->Children().size(), 2 * landscape.trees.size());
    // Tree 0: variant 2, barely turned, sunk 0.2 into the ground; trunk then
    // leaves, each with its two levels.
    for (int k = 0; k < 2; ++k) {
        auto* tree = dynamic_cast<gfx::Node*>(place->Children()[k].get());
        ASSERT_NE(tree, nullptr);
        EXPECT_EQ(tree->Parent(), place);
        const auto at = tree->GetLocalTransformation().Translate();
        EXPECT_FLOAT_EQ(at.x, landscape.trees[0].x);
        EXPECT_FLOAT_EQ(at.y, landscape.trees[0].y - 0.2f);
        EXPECT_FLOAT_EQ(at.z, landscape.trees[0].z);
        EXPECT_NEAR(tree->GetLocalTransformation().Rotate().m[0], 1.0f, 1e-6f);
        auto* lod = dynamic_cast<gfx::LODGeometry*>(tree->Children().at(0).get());
        ASSERT_NE(lod, nullptr);
        ASSERT_EQ(lod->Levels().size(), 2u);
        EXPECT_EQ(lod->Levels()[0].first, k == 0 ? 50.0f : 100.0f);
        EXPECT_EQ(lod->Levels()[1].first, 1000.0f);
    }

    auto* curve = dynamic_cast<gfx::Node*>(top[2].get());
    ASSERT_NE(curve, nullptr);
    ASSERT_EQ(curve->Children().size(), 1u);
    EXPECT_NE(dynamic_cast<gfx::CurveEmitter*>(curve->Children()[0].get()), nullptr);
    EXPECT_EQ(root->GetActiveName(), "Cam");
    // The stand-in data has no wireframe script; nothing else is amiss.
    std::string rows = log.Rows();
    const std::string noWireframe =
        WarningRow(69, "engine\\effectPool",
                   "No wireframe effect from data/wireframe.efx: objects whose effects all fail "
                   "are not drawn");
    ASSERT_NE(rows.find(noWireframe), std::string::npos) << rows;
    rows.erase(rows.find(noWireframe), noWireframe.size());
    EXPECT_EQ(rows.find("WARNING"), std::string::npos) << rows;
}

// A schedule that cannot steer the show is named in a WARNING row, and the
// show keeps a camera instead of losing its view.
TEST_F(SceneModule, CuesNamingNoCameraOfTheSceneAreReportedAndSkipped) {
    WriteTinyShow();
    WriteFile("data/camera.txt", "0 Nobody\n10 Cam trailing\n20 C\n");
    engine::AddModule(&scene, 10100);
    EXPECT_TRUE(scene.IsComplete());
    EXPECT_TRUE(boxes.empty());
    const std::string rows = log.Rows();
    const std::string file = ".\\testScene1.cpp";
    EXPECT_NE(rows.find(WarningRow(236, file,
                                   "Camera schedule data/camera.txt: the scene has no camera "
                                   "Nobody (frame 0); the cue is skipped") +
                        WarningRow(236, file,
                                   "Camera schedule data/camera.txt: the scene has no camera C "
                                   "(frame 20); the cue is skipped")),
              std::string::npos)
        << rows;
    EXPECT_EQ(rows.find("holds no cue"), std::string::npos);
}

TEST_F(SceneModule, AMissingScheduleIsReported) {
    WriteTinyShow();
    std::remove("data/camera.txt");
    engine::AddModule(&scene, 10100);
    EXPECT_TRUE(scene.IsComplete());
    EXPECT_NE(log.Rows().find(WarningRow(225, ".\\testScene1.cpp",
                                         "No camera schedule data/camera.txt: the scene's first "
                                         "camera stays active")),
              std::string::npos);
}

TEST_F(SceneModule, QuitsWhenEscapeIsReleasedNotWhilePressed) {
    WriteTinyShow();
    engine::AddModule(&scene, 10100);
    core::Input* input = core::Input::Get();
    input->KeyDown(27);
    scene.Update();
    input->EndPass();
    scene.Update(); // still held
    input->EndPass();
    const std::string quit = MessageRow(126, ".\\kernel.cpp", "Quit called");
    EXPECT_EQ(log.Rows().find(quit), std::string::npos);
    input->KeyUp(27);
    scene.Update();
    EXPECT_NE(log.Rows().find(quit), std::string::npos);
}

} // namespace
