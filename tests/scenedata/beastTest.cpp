#include "showSceneFixture.h"

#include "tools/generators/beast.h"
#include "tools/generators/groundHeight.h"
#include "tools/generators/showPaths.h"

#include "engine/gfx/bone.h"
#include "engine/gfx/boneAnimation.h"
#include "engine/gfx/geometry.h"
#include "engine/gfx/mesh.h"
#include "engine/gfx/node.h"
#include "engine/math/matrixHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

using namespace engine::gfx;
using engine::math::Matrix4x4;
using engine::math::TransformCoord;
using engine::math::Vector3f;
using kovra::tools::BeastModel;

namespace {

// The game plays the walk at 1.2 times its speed, one 21-frame cycle at a time.
constexpr float kCycleSeconds = 0.84f;
constexpr float kShowCycleSeconds = kCycleSeconds / 1.2f;

std::shared_ptr<Mesh> BeastMesh(DemoLoader& loader) {
    for (const auto& child : loader.GetNode("Beast")->Children())
        if (const auto* geometry = dynamic_cast<const Geometry*>(child.get()))
            return geometry->GetMesh();
    return nullptr;
}

std::vector<Matrix4x4> Poses(BoneAnimation& skeleton) {
    std::vector<Matrix4x4> poses;
    for (Bone& bone : skeleton.GetBones())
        poses.push_back(bone.PoseWorld());
    return poses;
}

float LargestDifference(const std::vector<Matrix4x4>& a, const std::vector<Matrix4x4>& b) {
    float largest = 0.0f;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int k = 0; k < 16; ++k)
            largest = std::max(largest, std::abs(a[i].m[k] - b[i].m[k]));
    return largest;
}

// Where the skeleton at its current pose carries a point of the bind pose.
Vector3f Skinned(BoneAnimation& skeleton, const std::string& bone, const Vector3f& at) {
    for (Bone& b : skeleton.GetBones())
        if (b.GetName() == bone)
            return TransformCoord(at, b.SkinMatrix());
    ADD_FAILURE() << "no bone " << bone;
    return at;
}

} // namespace

TEST(BeastModel, HasTheSixteenBonesOfABodyNeckHeadTailAndFourTwoPartLegs) {
    const auto mesh = BeastModel();
    std::set<std::string> names;
    std::set<std::string> roots;
    for (const auto& bone : mesh.bones) {
        names.insert(bone.name);
        if (bone.parent.empty())
            roots.insert(bone.name);
    }
    EXPECT_EQ(mesh.bones.size(), 16u);
    EXPECT_EQ(names.size(), 16u);
    EXPECT_EQ(roots, std::set<std::string>{"Root"});
    for (const auto& bone : mesh.bones) {
        if (!bone.parent.empty()) {
            EXPECT_TRUE(names.contains(bone.parent)) << bone.name;
        }
    }
    for (const char* leg : {"FrontLeft", "FrontRight", "BackLeft", "BackRight"}) {
        const auto lower = std::find_if(mesh.bones.begin(), mesh.bones.end(), [&](const auto& b) {
            return b.name == std::string(leg) + "Lower";
        });
        ASSERT_NE(lower, mesh.bones.end()) << leg;
        EXPECT_EQ(lower->parent, std::string(leg) + "Upper");
    }
    for (const char* part : {"Neck", "Head", "Tail1", "Tail2", "Tail3", "Hips", "Chest"})
        EXPECT_TRUE(names.contains(part)) << part;
}

TEST(BeastModel, SkinWeightsSumToOneAndBlendAcrossEveryJoint) {
    const auto mesh = BeastModel();
    ASSERT_EQ(mesh.skin.size(), mesh.positions.size());
    std::set<std::string> names;
    for (const auto& bone : mesh.bones)
        names.insert(bone.name);
    std::set<std::pair<std::string, std::string>> blends;
    for (const auto& influences : mesh.skin) {
        ASSERT_GE(influences.size(), 1u);
        ASSERT_LE(influences.size(), 4u);
        float sum = 0.0f;
        for (const auto& [bone, weight] : influences) {
            EXPECT_TRUE(names.contains(bone)) << bone;
            EXPECT_GT(weight, 0.0f);
            sum += weight;
        }
        EXPECT_NEAR(sum, 1.0f, 1e-5f);
        if (influences.size() == 2)
            blends.insert(std::minmax(influences[0].first, influences[1].first));
    }
    // Every bone but the root meets its parent in vertices weighted to both,
    // so that the skin bends smoothly instead of tearing at the joint.
    for (const auto& bone : mesh.bones) {
        if (bone.name != "Root" && bone.parent != "Root") {
            EXPECT_TRUE(blends.contains(std::minmax(bone.name, bone.parent)))
                << bone.name << " and " << bone.parent;
        }
    }
    EXPECT_TRUE(blends.contains(std::minmax(std::string("Hips"), std::string("Root"))));
    EXPECT_TRUE(blends.contains(std::minmax(std::string("Chest"), std::string("Root"))));
}

using BeastWalk = kovra::test::ShowSceneFixture;

TEST_F(BeastWalk, LoopsEveryTwentyOneFramesAndMovesBetween) {
    auto loader = Load();
    const auto mesh = BeastMesh(*loader);
    ASSERT_NE(mesh, nullptr);
    BoneAnimation& skeleton = *mesh->GetBoneAnimation();
    ASSERT_EQ(skeleton.GetBones().size(), 16u);

    mesh->ResetAnimation();
    mesh->AdvanceAnimation(0.0f);
    const auto first = Poses(skeleton);
    mesh->AdvanceAnimation(kCycleSeconds / 2.0f);
    const auto middle = Poses(skeleton);
    mesh->AdvanceAnimation(kCycleSeconds / 2.0f);
    const auto last = Poses(skeleton);
    // Frame 22 is frame 1 again: the game restarts the walk there.
    EXPECT_LT(LargestDifference(first, last), 1e-4f);
    EXPECT_GT(LargestDifference(first, middle), 0.05f);

    // Played on, the curves repeat themselves as well.
    mesh->AdvanceAnimation(kCycleSeconds / 2.0f);
    EXPECT_LT(LargestDifference(middle, Poses(skeleton)), 1e-4f);
}

TEST_F(BeastWalk, FeetPushTheGroundBackAsFastAsTheBeastWalks) {
    auto loader = Load();
    const auto mesh = BeastMesh(*loader);
    ASSERT_NE(mesh, nullptr);
    BoneAnimation& skeleton = *mesh->GetBoneAnimation();
    const kovra::tools::GroundHeight ground;
    const float stride = kovra::tools::BeastPath(ground).Speed() * kShowCycleSeconds;

    for (const auto& joint : kovra::tools::BeastJoints()) {
        if (joint.name.find("Lower") == std::string::npos)
            continue;
        const Vector3f foot(joint.at.x, 0.0f, joint.at.z);
        float back = 1e9f, front = -1e9f, low = 1e9f, high = -1e9f;
        mesh->ResetAnimation();
        for (int step = 0; step < 42; ++step) {
            mesh->AdvanceAnimation(step == 0 ? 0.0f : kCycleSeconds / 42.0f);
            const Vector3f at = Skinned(skeleton, joint.name, foot);
            back = std::min(back, at.z);
            front = std::max(front, at.z);
            low = std::min(low, at.y);
            high = std::max(high, at.y);
        }
        // A foot is down for half the cycle, in which the body moves on by
        // half a stride: the foot's swing must match that.
        EXPECT_NEAR(front - back, stride / 2.0f, stride * 0.2f) << joint.name;
        // It touches the ground and lifts clear of it when it swings forward.
        EXPECT_NEAR(low, 0.0f, 0.08f) << joint.name;
        EXPECT_GT(high - low, 0.08f) << joint.name;
    }
}
