#include "engine/gfx/demoLoader.h"
#include "engine/core/exception.h"
#include "engine/gfx/animationCamera.h"
#include "engine/gfx/animationController.h"
#include "engine/gfx/animationNode.h"
#include "engine/gfx/geometry.h"
#include "engine/gfx/light.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/math/matrixHelpers.h"
#include "support/demoBytes.h"
#include "support/logCapture.h"
#include "support/recordingQueue.h"
#include "support/sceneHelpers.h"
#include "support/steppedClock.h"

#include <gtest/gtest.h>

#include <memory>

using namespace engine::gfx;
using engine::core::Exception;
using engine::math::Matrix4x4;
using engine::math::MatrixRotationAxis;
using engine::math::Vector3f;
using kovra::test::DemoBytes;
using kovra::test::ExpectMatrixNear;

namespace {

const std::wstring kScene = L"data/scene.demo";
constexpr float kQuarterTurn = 1.5707964f;

struct LoaderDeleter {
    void operator()(DemoLoader* loader) const { loader->DestroyInstance(); }
};
using Loader = std::unique_ptr<DemoLoader, LoaderDeleter>;

Matrix4x4 Rotation(const Vector3f& axis, float radians) {
    return MatrixRotationAxis(axis, radians);
}

class DemoLoading : public ::testing::Test {
protected:
    DemoLoading() { SceneInfo::Get()->Start(); }
    ~DemoLoading() override { delete SceneInfo::mInstance; }

    Loader Load(const DemoBytes& file) {
        kovra::test::WriteFile("data/scene.demo", file.bytes);
        return Loader(DemoLoader::CreateInstance(kScene));
    }

    std::wstring ErrorOf(const DemoBytes& file, const std::wstring& name = kScene) {
        kovra::test::WriteFile("data/scene.demo", file.bytes);
        try {
            DemoLoader::CreateInstance(name)->DestroyInstance();
        } catch (const Exception& e) {
            return e.GetText();
        }
        ADD_FAILURE() << "no error";
        return L"";
    }

    // One frame of one animation frame through the loaded scene.
    // The frame's lists are emptied first, so they hold this frame's after it.
    void Frame(DemoLoader& loader) {
        SceneInfo::Get()->Update();
        clock.Step(0.04);
        loader.GetBaseNode()->Update(queue);
    }

    kovra::test::LogCapture log;
    kovra::test::SteppedClock clock;
    kovra::test::RecordingQueue queue;
};

} // namespace

TEST_F(DemoLoading, BuildsTheSceneBelowTheRootCamera) {
    DemoBytes file;
    file.Header(3, 3130);
    file.Object("Camera", "cam", "", "", 0, 0, -10, 0, 0, 0, 0);
    file.Object("Lamp", "lamp", "", "", 0, 5, 0, 0, 0, 0, 0);
    file.Object("Empty", "spin", "", "", 1, 0, 0, 0, 0, 0, 1).Hold("RotY", 9);
    Loader loader = Load(file);

    EXPECT_EQ(loader->GetLength(), 3130);
    std::shared_ptr<AnimationCamera> root = loader->GetCameras();
    EXPECT_EQ(loader->GetBaseNode(), root);
    ASSERT_NE(root->Parent(), nullptr);
    EXPECT_TRUE(static_cast<Node*>(root->Parent())->Children().empty());
    ASSERT_EQ(root->Children().size(), 3u);
    EXPECT_EQ(root->Children()[0], loader->GetNode("cam"));
    EXPECT_EQ(root->GetActiveName(), "cam");

    // A static object is a plain node at its rest placement; a lamp carries
    // its light.
    std::shared_ptr<Node> lamp = loader->GetNode("lamp");
    EXPECT_EQ(dynamic_cast<AnimationNode*>(lamp.get()), nullptr);
    EXPECT_EQ(lamp->Parent(), root.get());
    EXPECT_EQ(lamp->Local().GetTranslation(), Vector3f(0, 5, 0));
    ASSERT_EQ(lamp->Children().size(), 1u);
    EXPECT_EQ(lamp->Children()[0]->Parent(), lamp.get());
    EXPECT_NE(dynamic_cast<Light*>(lamp->Children()[0].get()), nullptr);
    EXPECT_NE(dynamic_cast<AnimationNode*>(loader->GetNode("spin").get()), nullptr);

    // The camera object has no parent pointer and stands at its rest
    // placement from the first frame.
    EXPECT_EQ(loader->GetNode("cam")->Parent(), nullptr);
    Frame(*loader);
    EXPECT_EQ(lamp->World().GetTranslation(), Vector3f(0, 5, 10));
    Frame(*loader);
    ExpectMatrixNear(loader->GetNode("spin")->World(),
                     Rotation(Vector3f(0, 1, 0), kQuarterTurn) *
                         engine::math::MatrixTranslation(1, 0, 10));
    EXPECT_EQ(SceneInfo::Get()->LightCount(), 1);
}

TEST_F(DemoLoading, CameraWithoutCurvesIsSelectable) {
    DemoBytes file;
    file.Header(3);
    file.Object("Camera", "near", "", "", 0, 0, -10, 0, 0, 0, 1).Hold("LocX", 1);
    file.Object("Camera", "far", "", "", 0, 0, -50, 0, kQuarterTurn, 0, 0);
    file.Object("Empty", "thing", "", "", 0, 0, 0, 0, 0, 0, 0);
    Loader loader = Load(file);
    loader->GetCameras()->ActiveCamera("far");
    Frame(*loader);
    // From (0, 0, -50) looking along +x the origin is 50 to the left.
    const Vector3f seen = loader->GetNode("thing")->World().GetTranslation();
    EXPECT_NEAR(seen.x, -50.0f, 1e-4f);
    EXPECT_NEAR(seen.y, 0.0f, 1e-4f);
    EXPECT_NEAR(seen.z, 0.0f, 1e-4f);
    EXPECT_EQ(log.Rows(), "");
}

TEST_F(DemoLoading, LocZUnderACameraIsNegatedWithItsHandles) {
    DemoBytes file;
    file.Header(5);
    file.Object("Camera", "cam", "", "", 0, 0, 0, 0, 0, 0, 0);
    // Bezier with handles at height 3: 2.25 halfway, at frame 6.
    file.Object("Empty", "held", "", "cam", 0, 0, 2, 0, 0, 0, 1);
    file.Curve("LocZ", "Bezier", "Constant", 2).Key(0, 0, 1, 0, 4, 3).Key(8, 3, 11, 0, 14, 0);
    file.Object("Empty", "rest", "", "cam", 0, 0, 2, 0, 0, 0, 1).Hold("LocX", 0);
    // The parent comes later, so it is not known as a camera yet.
    file.Object("Empty", "early", "", "late", 0, 0, 2, 0, 0, 0, 1).Hold("LocZ", 4);
    file.Object("Camera", "late", "", "", 0, 0, 0, 0, 0, 0, 0);
    Loader loader = Load(file);
    for (int i = 0; i < 5; ++i)
        Frame(*loader);
    EXPECT_NEAR(loader->GetNode("held")->Local().m[14], -2.25f, 1e-5f);
    EXPECT_FLOAT_EQ(loader->GetNode("rest")->Local().m[14], -2.0f);
    EXPECT_FLOAT_EQ(loader->GetNode("early")->Local().m[14], 4.0f);
}

TEST_F(DemoLoading, RotationCurvesReplaceOrJoinTheRestPipes) {
    DemoBytes file;
    file.Header(2);
    // dRotY and dRotZ (ids 19, 21) both turn the object, 90 degrees each.
    file.Object("Empty", "both", "", "", 0, 0, 0, 0, 0, 0, 2).Hold("dRotY", 9).Hold("dRotZ", 9);
    // RotX replaces the rest rotation about x; y and z stay.
    file.Object("Empty", "rotX", "", "", 0, 0, 0, 0.5f, 0.3f, 0.2f, 1).Hold("RotX", 0);
    Loader loader = Load(file);
    std::shared_ptr<AnimationNode> both =
        std::dynamic_pointer_cast<AnimationNode>(loader->GetNode("both"));
    std::shared_ptr<AnimationNode> rotX =
        std::dynamic_pointer_cast<AnimationNode>(loader->GetNode("rotX"));
    ASSERT_TRUE(both && rotX);
    both->Update(queue);
    rotX->Update(queue);
    ExpectMatrixNear(both->Local(), Rotation(Vector3f(0, 1, 0), kQuarterTurn) *
                                        Rotation(Vector3f(0, 0, 1), kQuarterTurn));
    // The rest rotation went through tens of degrees and back.
    Matrix4x4 expected = Rotation(Vector3f(0, 1, 0), 0.3f * 5.729578f * 31.415928f / 180.0f) *
                         Rotation(Vector3f(0, 0, 1), 0.2f * 5.729578f * 31.415928f / 180.0f);
    ExpectMatrixNear(rotX->Local(), expected);
    EXPECT_EQ(rotX->GetController()->GetPipes().size(), 6u);
    EXPECT_EQ(both->GetController()->GetPipes().size(), 8u);
}

TEST_F(DemoLoading, ParentsAreResolvedAfterAllRecords) {
    DemoBytes file;
    file.Header(3);
    file.Object("Camera", "cam", "", "", 0, 0, 0, 0, 0, 0, 0);
    file.Object("Empty", "child", "", "parent", 0, 1, 0, 0, 0, 0, 1).Hold("LocX", 0);
    file.Object("Empty", "parent", "", "", 3, 0, 0, 0, 0, 0, 0);
    Loader loader = Load(file);
    std::shared_ptr<Node> parent = loader->GetNode("parent");
    std::shared_ptr<Node> child = loader->GetNode("child");
    EXPECT_EQ(child->Parent(), parent.get());
    ASSERT_EQ(parent->Children().size(), 1u);
    EXPECT_EQ(parent->Children()[0], child);
    // Only the camera and the parent hang from the root.
    EXPECT_EQ(loader->GetCameras()->Children().size(), 2u);
    Frame(*loader);
    EXPECT_EQ(child->World().GetTranslation(), Vector3f(3, 1, 0));
}

TEST_F(DemoLoading, LayerCurveHidesTheObjectFromFrame50) {
    DemoBytes file;
    file.Header(2);
    file.Object("Camera", "cam", "", "", 0, 0, 0, 0, 0, 0, 0);
    file.Object("Lamp", "lamp", "", "", 0, 0, 0, 0, 0, 0, 1);
    file.Curve("Layer", "Linear", "Constant", 3);
    file.Key(0, 0, 1, 1, 0, 0).Key(0, 0, 49, 1, 0, 0).Key(0, 0, 50, 2, 0, 0);
    Loader loader = Load(file);
    // The lamp's light registers itself each frame it is reached.
    for (int frame = 2; frame <= 55; ++frame) {
        Frame(*loader);
        ASSERT_EQ(SceneInfo::Get()->LightCount(), frame < 50 ? 1 : 0) << frame;
    }
    // A named curve on an object that is not a mesh is not bound: no warning.
    EXPECT_EQ(log.Rows(), "");
}

TEST_F(DemoLoading, TerrainLoadsNoMesh) {
    DemoBytes file;
    file.Header(1).Object("Mesh", "Terrain", "ground", "", 0, 0, 0, 0, 0, 0, 0);
    // There is no data/scene.demo_scene/ground.kvr: loading it would fail.
    Loader loader = Load(file);
    EXPECT_TRUE(loader->GetNode("Terrain")->Children().empty());
}

TEST_F(DemoLoading, GetNodeWarnsOnceForAnUnknownName) {
    DemoBytes file;
    file.Header(1).Object("Empty", "known", "", "", 0, 0, 0, 0, 0, 0, 0);
    Loader loader = Load(file);
    EXPECT_NE(loader->GetNode("known"), nullptr);
    EXPECT_EQ(loader->GetNode("unknown"), nullptr);
    EXPECT_EQ(log.Rows(),
              kovra::test::WarningRow(277, "demoFile", "No such node unknown was found"));
}

TEST_F(DemoLoading, FilesAndNamesOutsideTheDataFolderAreRefused) {
    EXPECT_EQ(ErrorOf(DemoBytes(), L"data/none.demo"), L"No such demo file found");
    EXPECT_EQ(ErrorOf(DemoBytes(), L"data/../scene.demo"),
              L"data/../scene.demo leaves the data folder");
    EXPECT_EQ(ErrorOf(DemoBytes(), L"/etc/passwd"), L"/etc/passwd leaves the data folder");
    DemoBytes escape;
    escape.Header(1).Object("Mesh", "m", "../../../secret", "", 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(ErrorOf(escape), L"data/scene.demo_scene/../../../secret.kvr leaves the data folder");
}
