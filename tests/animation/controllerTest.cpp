#include "engine/gfx/animationController.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace engine::gfx;
using engine::math::Matrix3x3;
using engine::math::Vector3f;
using engine::math::Vector4f;

namespace {

std::unique_ptr<AnimationTrack> Ramp(float from, float to, std::int32_t mode) {
    auto track = std::make_unique<LinearAnimationTrack>();
    track->AddKey(1.0f, from);
    track->AddKey(11.0f, to);
    track->SetExtrapolation(mode);
    return track;
}

// Holds v whatever the time.
std::unique_ptr<AnimationTrack> Steady(float v) {
    return Ramp(v, v, AnimationTrack::Constant);
}

class CountedPipe : public AnimationPipe {
public:
    CountedPipe(std::int32_t id, int* deleted) : AnimationPipe(id, Steady(0)), mDeleted(deleted) {}
    ~CountedPipe() override { ++*mDeleted; }

private:
    int* mDeleted;
};

void ExpectNear(const Vector3f& actual, const Vector3f& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

} // namespace

TEST(AnimationController, SameChannelReplacesAndDeletes) {
    int deleted = 0;
    AnimationController controller;
    controller.AddPipe(std::make_unique<CountedPipe>(5, &deleted));
    controller.AddPipe(std::make_unique<CountedPipe>(2, &deleted));
    controller.AddPipe(std::make_unique<CountedPipe>(7, &deleted));
    auto replacement = std::make_unique<CountedPipe>(5, &deleted);
    const AnimationPipe* kept = replacement.get();
    controller.AddPipe(std::move(replacement));
    EXPECT_EQ(deleted, 1);
    ASSERT_EQ(controller.GetPipes().size(), 3u);
    EXPECT_EQ(controller.GetPipes()[0]->GetId(), 2);
    EXPECT_EQ(controller.GetPipes()[1].get(), kept);
    EXPECT_EQ(controller.GetPipes()[2]->GetId(), 7);
}

TEST(AnimationController, NamedValuesStayPutAndFollowTheirTracks) {
    AnimationController controller;
    controller.AddTrack("Layer", Ramp(0, 10, AnimationTrack::Constant));
    const float* layer = controller.GetNamedValue("Layer");
    ASSERT_NE(layer, nullptr);
    for (int i = 0; i < 200; ++i)
        controller.AddTrack("extra" + std::to_string(i), Steady(static_cast<float>(i)));
    EXPECT_EQ(controller.GetNamedValue("Layer"), layer);
    EXPECT_EQ(controller.GetNamedValue("missing"), nullptr);
    EXPECT_EQ(*layer, 0.0f);
    controller.Advance(5.0f);
    EXPECT_FLOAT_EQ(*layer, 5.0f);
    EXPECT_FLOAT_EQ(*controller.GetNamedValue("extra199"), 199.0f);
    EXPECT_FLOAT_EQ(controller.GetTime(), 5.0f);
}

TEST(AnimationController, EvaluateSumsPosePipes) {
    AnimationController controller;
    controller.AddPipe(std::make_unique<LocPipe>(1, Ramp(0, 10, 0), Vector3f(1, 0, 0)));
    controller.AddPipe(std::make_unique<LocPipe>(3, Steady(2), Vector3f(0, 0, 1)));
    controller.AddPipe(std::make_unique<QuatPipe>(4, Steady(0.5f), Vector4f(0, 0, 0, 1)));
    controller.AddPipe(std::make_unique<QuatPipe>(7, Steady(0.25f), Vector4f(0, 0, 1, 0)));
    // Transformation-only pipes leave the pose alone.
    controller.AddPipe(std::make_unique<RotPipe>(18, Steady(9), Vector3f(1, 0, 0)));
    Pose before = controller.Evaluate();
    EXPECT_EQ(before.location.x, 0.0f);
    EXPECT_EQ(before.rotation.w, 0.0f);
    controller.Advance(3.0f);
    const Pose pose = controller.Evaluate();
    ExpectNear(pose.location, Vector3f(3, 0, 2));
    EXPECT_FLOAT_EQ(pose.rotation.w, 0.5f);
    EXPECT_FLOAT_EQ(pose.rotation.z, 0.25f);
    EXPECT_EQ(pose.rotation.x, 0.0f);
}

TEST(AnimationController, ResetRewindsEveryTrack) {
    AnimationController controller;
    controller.AddTrack("named", Ramp(0, 10, AnimationTrack::Cyclic));
    controller.AddPipe(std::make_unique<LocPipe>(1, Ramp(0, 10, 2), Vector3f(1, 0, 0)));
    controller.Advance(23.0f);
    controller.Reset();
    const AnimationTrack& pipeTrack = controller.GetPipes()[0]->GetTrack();
    EXPECT_EQ(pipeTrack.GetPlayer().GetTime(), 1.0f);
    EXPECT_EQ(pipeTrack.GetPlayer().GetIndex(), 0);
    EXPECT_EQ(pipeTrack.GetPlayer().GetCycles(), 0);
    EXPECT_EQ(pipeTrack.GetValue(), 0.0f);
    controller.Advance(2.0f);
    EXPECT_FLOAT_EQ(*controller.GetNamedValue("named"), 2.0f);
    EXPECT_FLOAT_EQ(pipeTrack.GetValue(), 2.0f);
}

TEST(AnimationPipes, TransformationChannels) {
    AnimationController controller;
    controller.AddPipe(std::make_unique<LocPipe>(1, Steady(2), Vector3f(1, 0, 0)));
    controller.AddPipe(std::make_unique<LocPipe>(2, Steady(3), Vector3f(0, 1, 0)));
    controller.AddPipe(std::make_unique<ScalePipe>(11, Steady(2), Vector3f(1, 0, 0)));
    // 9 tens of degrees: a quarter turn about z.
    controller.AddPipe(std::make_unique<RotPipe>(22, Steady(9), Vector3f(0, 0, 1)));
    controller.Advance(1.0f);
    Transformation t;
    float timeDelta = -1.0f;
    controller.ApplyToTransformation(timeDelta, t);
    EXPECT_FALSE(t.IsIdentity());
    EXPECT_EQ(timeDelta, -1.0f);
    ExpectNear(t.Translate(), Vector3f(2, 3, 0));
    // Scale x by 2, then turn: (1, 0, 0) -> (2, 0, 0) -> (0, 2, 0).
    ExpectNear(Vector3f(1, 0, 0) * t.Rotate(), Vector3f(0, 2, 0));
    ExpectNear(Vector3f(0, 1, 0) * t.Rotate(), Vector3f(-1, 0, 0));
}

TEST(AnimationPipes, RotationFollowsDirect3DAxisRotation) {
    RotPipe pipe(18, Steady(9), Vector3f(1, 0, 0));
    pipe.GetTrack().Advance(1.0f);
    Transformation t;
    float timeDelta = 0.0f;
    pipe.ApplyToTransformation(timeDelta, t);
    ExpectNear(Vector3f(0, 1, 0) * t.Rotate(), Vector3f(0, 0, 1));
}

TEST(AnimationPipes, TimePipeReportsFramesSinceLastApply) {
    auto seconds = std::make_unique<LinearAnimationTrack>();
    seconds->AddKey(1.0f, 0.0f);
    seconds->AddKey(101.0f, 4.0f);
    seconds->SetExtrapolation(AnimationTrack::Constant);
    TimePipe pipe(0, std::move(seconds));
    Transformation t;
    float timeDelta = 0.0f;
    pipe.GetTrack().Advance(25.0f);
    pipe.ApplyToTransformation(timeDelta, t);
    EXPECT_FLOAT_EQ(timeDelta, 25.0f);
    pipe.GetTrack().Advance(10.0f);
    pipe.ApplyToTransformation(timeDelta, t);
    EXPECT_FLOAT_EQ(timeDelta, 10.0f);
    EXPECT_TRUE(t.IsIdentity());
}
