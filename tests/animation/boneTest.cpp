#include "engine/gfx/boneAnimation.h"
#include "engine/math/matrixHelpers.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace engine::gfx;
using engine::math::Matrix4x4;
using engine::math::Quaternion;
using engine::math::Vector3f;

namespace {

void ExpectNear(const Vector3f& actual, const Vector3f& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

std::shared_ptr<AnimationController> MovingX() {
    auto track = std::make_unique<LinearAnimationTrack>();
    track->AddKey(1.0f, 0.0f);
    track->AddKey(11.0f, 10.0f);
    track->SetExtrapolation(AnimationTrack::Constant);
    auto controller = std::make_shared<AnimationController>();
    controller->AddPipe(std::make_unique<LocPipe>(1, std::move(track), Vector3f(1, 0, 0)));
    return controller;
}

const Quaternion kQuarterZ =
    Quaternion::RotationAxis(Vector3f(0, 0, 1), std::numbers::pi_v<float> / 2.0f);

} // namespace

TEST(Bone, WorldMatricesFollowParentsInAnyOrder) {
    BoneAnimation skeleton;
    // The child comes first in the list.
    skeleton.AddBone(Bone("child", std::make_shared<AnimationController>(), Vector3f(1, 0, 0),
                          Quaternion(), Vector3f(), Quaternion(0, 0, 0, 0)));
    skeleton.AddBone(Bone("root", std::make_shared<AnimationController>(), Vector3f(0, 0, 5),
                          kQuarterZ, Vector3f(), Quaternion(0, 0, 0, 0)));
    skeleton.SetParents({1, -1}, "data/test.kvr");
    std::vector<Bone>& bones = skeleton.GetBones();
    // (0,0,0) -> child offset (1,0,0) -> root turn (0,1,0) -> root offset (0,1,5).
    ExpectNear(Vector3f(0, 0, 0) * bones[0].BindWorld(), Vector3f(0, 1, 5));
    // A zero pose quaternion builds the identity rotation: pose equals bind.
    ExpectNear(Vector3f(0, 0, 0) * bones[0].PoseWorld(), Vector3f(0, 1, 5));
    const Matrix4x4 skin = bones[0].SkinMatrix();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(skin.m[i], Matrix4x4::Identity.m[i], 1e-5f) << i;
}

TEST(Bone, PoseIsCachedUntilAdvanced) {
    BoneAnimation skeleton;
    skeleton.AddBone(
        Bone("root", MovingX(), Vector3f(0, 2, 0), Quaternion(), Vector3f(0, 0, 3), Quaternion()));
    skeleton.SetParents({-1}, "data/test.kvr");
    Bone& bone = skeleton.GetBones()[0];
    ExpectNear(Vector3f(0, 0, 0) * bone.PoseLocal(), Vector3f(0, 2, 3));
    skeleton.Advance(0.2f); // 5 frames at 25 per second
    ExpectNear(Vector3f(0, 0, 0) * bone.PoseLocal(), Vector3f(5, 2, 3));
    // The bind pose moved by 5 along x.
    ExpectNear(Vector3f(0, 0, 0) * bone.SkinMatrix(), Vector3f(5, 0, 3));
    skeleton.Reset();
    ExpectNear(Vector3f(0, 0, 0) * bone.PoseLocal(), Vector3f(5, 2, 3));
    bone.Advance(1.0f);
    ExpectNear(Vector3f(0, 0, 0) * bone.PoseLocal(), Vector3f(1, 2, 3));
}
