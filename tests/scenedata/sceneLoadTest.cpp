#include "showSceneFixture.h"

#include "tools/generators/cameraCues.h"
#include "tools/generators/groundHeight.h"

#include "engine/gfx/animationCamera.h"
#include "engine/gfx/animationNode.h"
#include "engine/gfx/geometry.h"
#include "engine/gfx/mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

using namespace engine::gfx;
using engine::math::Vector3f;
using kovra::test::ShowSceneFixture;

namespace {

const char* const kCameras[] = {"CamValley",     "CamShore",     "CamGrass",
                                "CamBeast",      "CamBeastSide", "CamRibbon",
                                "CamRibbonHigh", "CamLake",      "CamDusk"};

std::shared_ptr<Mesh> MeshOf(const std::shared_ptr<Node>& node) {
    for (const auto& child : node->Children())
        if (const auto* geometry = dynamic_cast<const Geometry*>(child.get()))
            return geometry->GetMesh();
    return nullptr;
}

// The camera of the schedule at a show time.
std::string ScheduledCamera(double seconds) {
    std::string name = "CamValley";
    for (const auto& [frame, camera] : kovra::tools::ShowCameraCues())
        if (seconds * 25.0 > frame)
            name = camera;
    return name;
}

// Whether a point in view space lies well inside the picture (45 degrees
// high, at least 4:3 wide), in front of the camera and not too far.
bool InPicture(const Vector3f& v, float farthest) {
    const float tanHalf = std::tan(0.3927f) * 0.85f;
    return v.z > 0.5f && v.z < farthest && std::abs(v.y) < v.z * tanHalf &&
           std::abs(v.x) < v.z * tanHalf * 4.0f / 3.0f;
}

} // namespace

using ShowSceneLoading = ShowSceneFixture;

TEST_F(ShowSceneLoading, LoadsEveryObjectWithoutComplaint) {
    auto loader = Load();
    for (const std::string& entry : runtime.TakeLog()) {
        EXPECT_NE(entry.rfind("WARNING|", 0), 0u) << entry;
        EXPECT_NE(entry.rfind("ERROR|", 0), 0u) << entry;
    }
    EXPECT_EQ(loader->GetLength(), 3130);

    const auto& cameras = loader->GetCameras()->Cameras();
    EXPECT_EQ(cameras.size(), std::size(kCameras));
    for (const char* name : kCameras)
        EXPECT_TRUE(cameras.contains(name)) << name;
    // The first camera is the one seen before the schedule's first cue.
    EXPECT_EQ(loader->GetCameras()->GetActiveName(), "CamValley");

    for (const char* name : {"Sun", "TreePlace", "TheCurve", "Terrain"})
        EXPECT_NE(loader->GetNode(name), nullptr) << name;
    // The game places trees in world coordinates below "TreePlace".
    EXPECT_EQ(dynamic_cast<AnimationNode*>(loader->GetNode("TreePlace").get()), nullptr);
    EXPECT_EQ(loader->GetNode("TreePlace")->Local().GetTranslation(), Vector3f(0, 0, 0));
    // The game makes the terrain; the scene only names it.
    EXPECT_EQ(MeshOf(loader->GetNode("Terrain")), nullptr);
    for (const char* name : {"Water", "Sky", "Rock1", "Rock2", "Rock3", "Rock4", "Rock5", "Rock6"})
        EXPECT_NE(MeshOf(loader->GetNode(name)), nullptr) << name;
    // The six rocks share one mesh.
    EXPECT_EQ(MeshOf(loader->GetNode("Rock1")), MeshOf(loader->GetNode("Rock6")));

    const auto beast = MeshOf(loader->GetNode("Beast"));
    ASSERT_NE(beast, nullptr);
    ASSERT_NE(beast->GetBoneAnimation(), nullptr);
    EXPECT_EQ(beast->BoneCount(), 16);
}

TEST_F(ShowSceneLoading, CamerasStayAboveGroundAndWaterAndFrameTheirSubjects) {
    auto loader = Load();
    const kovra::tools::GroundHeight ground;
    const auto root = loader->GetCameras();
    const auto beast = loader->GetNode("Beast");
    const auto ribbon = loader->GetNode("TheCurve");
    const std::map<std::string, std::pair<std::shared_ptr<Node>, float>> subjects = {
        {"CamBeast", {beast, 12.0f}},
        {"CamBeastSide", {beast, 12.0f}},
        {"CamRibbon", {ribbon, 15.0f}},
        {"CamRibbonHigh", {ribbon, 40.0f}}};
    const double step = 0.2;
    int framed = 0;
    for (double t = step; t < 125.2; t += step) {
        const std::string active = ScheduledCamera(t);
        root->ActiveCamera(active);
        Frame(*loader, step);
        for (const auto& [name, node] : root->Cameras()) {
            const Vector3f eye = node->BuildTransformation().Translate();
            const float floor = std::max(0.0f, ground.At(eye.x, eye.z));
            EXPECT_GT(eye.y, floor + 0.5f) << name << " at " << t << " s";
        }
        // The scene is placed in the active camera's view: a subject's
        // world position is where the camera sees it.
        if (const auto it = subjects.find(active); it != subjects.end()) {
            const Vector3f seen = it->second.first->World().GetTranslation();
            EXPECT_TRUE(InPicture(seen, it->second.second))
                << active << " at " << t << " s sees its subject at " << seen.x << ", " << seen.y
                << ", " << seen.z;
            ++framed;
        }
    }
    EXPECT_GT(framed, 100);
}
