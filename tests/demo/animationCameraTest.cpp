#include "engine/gfx/animationCamera.h"
#include "engine/core/exception.h"
#include "engine/gfx/animationController.h"
#include "engine/gfx/animationNode.h"
#include "engine/gfx/sceneInfo.h"
#include "support/logCapture.h"
#include "support/recordingQueue.h"
#include "support/sceneHelpers.h"
#include "support/steppedClock.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

using namespace engine::gfx;
using engine::core::Exception;
using engine::math::Matrix4x4;
using engine::math::Vector3f;
using kovra::test::ExpectMatrixNear;
using kovra::test::Moved;

namespace {

constexpr double kFrame = 0.04;

using Keys = std::initializer_list<std::pair<float, float>>;

template <class Track> std::unique_ptr<AnimationTrack> MakeTrack(Keys keys) {
    auto track = std::make_unique<Track>();
    track->SetExtrapolation(AnimationTrack::Constant);
    for (const auto& [time, value] : keys)
        track->AddKey(time, value);
    return track;
}

// A controller whose location curves hold one value each; rotY is in tens of
// degrees, as the curves store it.
std::shared_ptr<AnimationController> Placed(Vector3f location, float rotY = 0.0f) {
    auto controller = std::make_shared<AnimationController>();
    const float values[3] = {location.x, location.y, location.z};
    const Vector3f axes[3] = {Vector3f(1, 0, 0), Vector3f(0, 1, 0), Vector3f(0, 0, 1)};
    for (int i = 0; i < 3; ++i)
        controller->AddPipe(std::make_unique<LocPipe>(
            i + 1, MakeTrack<ConstantAnimationTrack>({{0, values[i]}, {100, values[i]}}), axes[i]));
    controller->AddPipe(std::make_unique<RotPipe>(
        20, MakeTrack<ConstantAnimationTrack>({{0, rotY}, {100, rotY}}), axes[1]));
    // Values stand at frame 1 before the first frame, as the loader leaves them.
    controller->Advance(0.0f);
    return controller;
}

std::shared_ptr<AnimationNode> Animated(Spatial* parent,
                                        std::shared_ptr<AnimationController> controller) {
    auto node = std::make_shared<AnimationNode>(parent);
    node->SetController(std::move(controller));
    return node;
}

// A leaf that notes each visit and what the frame's first record said then.
class Probe : public Spatial {
public:
    explicit Probe(Spatial* parent) : Spatial(parent) {}
    void Update(RenderQueue&) override {
        ++visits;
        const auto& records = SceneInfo::Get()->Frustums();
        recordCamera = records.empty() ? nullptr : records.front().camera;
    }
    int visits = 0;
    Spatial* recordCamera = nullptr;
};

class AnimatedScene : public ::testing::Test {
protected:
    AnimatedScene() { SceneInfo::Get()->Start(); }
    ~AnimatedScene() override { delete SceneInfo::mInstance; }

    // One frame: the clock moves, the tree is walked, the frame's records
    // are forgotten.
    void Frame(Spatial& root, double seconds = kFrame) {
        clock.Step(seconds);
        root.Update(queue);
        SceneInfo::Get()->Update();
    }

    kovra::test::LogCapture log;
    kovra::test::SteppedClock clock;
    kovra::test::RecordingQueue queue;
};

TEST_F(AnimatedScene, RestPipesAloneKeepTheRestPlacement) {
    // RotY 9 is 90 degrees: x turns to -z, as Direct3D's rotation about y.
    auto node = Animated(nullptr, Placed(Vector3f(1, 2, 3), 9.0f));
    for (int i = 0; i < 30; ++i) {
        Frame(*node);
        const Matrix4x4 local = node->Local();
        EXPECT_NEAR(local.m[0], 0.0f, 1e-6f);
        EXPECT_NEAR(local.m[2], -1.0f, 1e-6f);
        EXPECT_EQ(local.GetTranslation(), Vector3f(1, 2, 3));
    }
}

TEST_F(AnimatedScene, LayerCurveHidesTheSubtreeWhileCurvesMoveOn) {
    auto controller = std::make_shared<AnimationController>();
    // x = frame - 1, so the pose at any frame is known.
    controller->AddPipe(std::make_unique<LocPipe>(
        1, MakeTrack<LinearAnimationTrack>({{1, 0}, {101, 100}}), Vector3f(1, 0, 0)));
    // 1 up to frame 49, 2 from frame 50 to 59, 1 again from frame 60.
    controller->AddTrack(
        "Layer", MakeTrack<LinearAnimationTrack>({{1, 1}, {49, 1}, {50, 2}, {59, 2}, {60, 1}}));
    auto node = Animated(nullptr, controller);
    auto probe = std::make_shared<Probe>(node.get());
    node->AddChild(probe);

    // Each frame is one animation frame; the curves start at frame 1.
    int visits = 0;
    for (int frame = 2; frame <= 61; ++frame) {
        Frame(*node);
        const bool shown = frame < 50 || frame >= 60;
        visits += shown ? 1 : 0;
        ASSERT_EQ(probe->visits, visits) << frame;
        // Hidden, the node keeps the pose of frame 49.
        ASSERT_FLOAT_EQ(node->Local().m[12], shown ? frame - 1.0f : 48.0f) << frame;
    }
}

TEST_F(AnimatedScene, PausedMusicFreezesCurvesButTheViewIsStillPublished) {
    auto root = std::make_shared<AnimationCamera>(nullptr);
    auto controller = Placed(Vector3f(0, 0, 0));
    controller->AddPipe(std::make_unique<LocPipe>(
        1, MakeTrack<LinearAnimationTrack>({{1, 0}, {101, 100}}), Vector3f(1, 0, 0)));
    auto camera = Animated(nullptr, controller);
    root->AddChild(camera);
    root->AddCamera("cam", camera.get());
    auto probe = std::make_shared<Probe>(root.get());
    root->AddChild(probe);

    Frame(*root);
    Frame(*root);
    // The view catches up with the camera's last move, then stands.
    Frame(*root, 0.0);
    const Matrix4x4 view = root->World();
    for (int i = 0; i < 3; ++i) {
        Frame(*root, 0.0);
        ExpectMatrixNear(root->World(), view);
        EXPECT_EQ(probe->recordCamera, camera.get());
    }
    EXPECT_EQ(probe->visits, 6);
    EXPECT_FLOAT_EQ(camera->Local().m[12], 2.0f);
}

class CameraScene : public AnimatedScene {
protected:
    CameraScene() {
        root->AddChild(first);
        root->AddChild(second);
        root->AddCamera("first", first.get());
        root->AddCamera("second", second.get());
        object->Local(Moved(1, 2, 3));
        root->AddChild(object);
        // Fixed in the first camera's view space.
        attached->Local(Moved(0, 0, 4));
        first->AddChild(attached);
    }

    Node base{nullptr};
    std::shared_ptr<AnimationCamera> root = std::make_shared<AnimationCamera>(&base);
    std::shared_ptr<AnimationNode> first = Animated(nullptr, Placed(Vector3f(0, 0, -10)));
    // Stands at x = 5 looking along +x (turned 90 degrees about y).
    std::shared_ptr<AnimationNode> second = Animated(nullptr, Placed(Vector3f(5, 0, 0), 9.0f));
    std::shared_ptr<Node> object = std::make_shared<Node>(root.get());
    std::shared_ptr<Node> attached = std::make_shared<Node>(first.get());
};

TEST_F(CameraScene, FirstCameraAddedIsActiveAndObjectsLandInItsView) {
    Frame(*root);
    EXPECT_EQ(root->GetActiveCamera(), first.get());
    EXPECT_EQ(root->GetActiveName(), "first");
    EXPECT_EQ(object->World().GetTranslation(), Vector3f(1, 2, 13));
    ExpectMatrixNear(object->World() * object->WorldInverse(), Matrix4x4::Identity);
    ExpectMatrixNear(root->World() * root->WorldInverse(), Matrix4x4::Identity);
    // A child of the active camera object stays put in view space.
    ExpectMatrixNear(attached->World(), attached->Local());

    root->ActiveCamera("second");
    Frame(*root);
    // World (1, 2, 3) seen from (5, 0, 0) looking along +x: 3 to the left,
    // 2 up, 4 behind.
    const Vector3f seen = object->World().GetTranslation();
    EXPECT_NEAR(seen.x, -3.0f, 1e-5f);
    EXPECT_NEAR(seen.y, 2.0f, 1e-5f);
    EXPECT_NEAR(seen.z, -4.0f, 1e-5f);
    ExpectMatrixNear(object->World() * object->WorldInverse(), Matrix4x4::Identity);
    // The camera's own transformation is the active placement after the frame.
    EXPECT_EQ(root->GetLocalTransformation().Translate(), Vector3f(5, 0, 0));
}

TEST_F(CameraScene, ViewIncludesTheCameraObjectsParent) {
    auto rig = std::make_shared<Node>(root.get());
    rig->Local(Moved(0, 7, 0));
    root->AddChild(rig);
    auto mounted = Animated(rig.get(), Placed(Vector3f(0, 0, -10)));
    rig->AddChild(mounted);
    root->AddCamera("mounted", mounted.get());
    root->ActiveCamera("mounted");
    Frame(*root);
    EXPECT_EQ(object->World().GetTranslation(), Vector3f(1, -5, 13));
    ExpectMatrixNear(root->World() * root->WorldInverse(), Matrix4x4::Identity);
}

TEST_F(AnimatedScene, ViewFollowsTheCameraObjectOneFrameLate) {
    auto root = std::make_shared<AnimationCamera>(nullptr);
    auto controller = std::make_shared<AnimationController>();
    controller->AddPipe(std::make_unique<LocPipe>(
        1, MakeTrack<LinearAnimationTrack>({{1, 0}, {101, 100}}), Vector3f(1, 0, 0)));
    auto camera = Animated(nullptr, controller);
    root->AddChild(camera);
    root->AddCamera("cam", camera.get());
    auto object = std::make_shared<Node>(root.get());
    root->AddChild(object);
    for (int frame = 1; frame <= 3; ++frame) {
        Frame(*root);
        EXPECT_FLOAT_EQ(object->World().m[12], 1.0f - frame) << frame;
        EXPECT_FLOAT_EQ(camera->Local().m[12], static_cast<float>(frame));
    }
}

TEST_F(CameraScene, UnknownCameraWarnsAndTheNextFrameFails) {
    root->ActiveCamera("third");
    EXPECT_EQ(root->GetActiveCamera(), nullptr);
    EXPECT_EQ(root->GetActiveName(), "third");
    EXPECT_EQ(root->Cameras().size(), 3u);
    try {
        Frame(*root);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.GetText(), L"There is no active camera");
    }
    EXPECT_EQ(log.Rows(), kovra::test::WarningRow(38, "camera", "No such camera third found") +
                              kovra::test::ErrorRow(45, "camera", "There is no active camera"));
}

} // namespace
