#include "engine/gfx/animationTrack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace engine::gfx;

namespace {

// Keys (1, 0) and (11, 10) in the given mode.
template <class Track> std::unique_ptr<Track> Ramp(std::int32_t mode) {
    auto track = std::make_unique<Track>();
    track->AddKey(1.0f, 0.0f);
    track->AddKey(11.0f, 10.0f);
    track->SetExtrapolation(mode);
    return track;
}

} // namespace

TEST(AnimationTrack, FreshTrackStandsAtFrameOne) {
    LinearAnimationTrack track;
    EXPECT_EQ(track.GetPlayer().GetTime(), 1.0f);
    EXPECT_EQ(track.GetPlayer().GetIndex(), 0);
    EXPECT_FALSE(track.GetPlayer().IsClamped());
    EXPECT_EQ(track.GetValue(), 0.0f);
    track.SetExtrapolation(AnimationTrack::Constant);
    EXPECT_TRUE(track.GetPlayer().IsClamped());
    track.SetExtrapolation(AnimationTrack::CyclicExtrapolation);
    EXPECT_FALSE(track.GetPlayer().IsClamped());
}

TEST(AnimationTrack, LinearHoldsTheLastKeyInConstantMode) {
    auto track = Ramp<LinearAnimationTrack>(AnimationTrack::Constant);
    track->Advance(5.0f);
    EXPECT_FLOAT_EQ(track->GetPlayer().GetTime(), 6.0f);
    EXPECT_FLOAT_EQ(track->GetPlayer().GetFraction(), 0.5f);
    EXPECT_FLOAT_EQ(track->GetValue(), 5.0f);
    track->Advance(20.0f);
    EXPECT_EQ(track->GetPlayer().GetIndex(), 1);
    EXPECT_EQ(track->GetPlayer().GetFraction(), 0.0f);
    EXPECT_FLOAT_EQ(track->GetValue(), 10.0f);
    // Moving back while past the last key keeps the time and holds the key.
    track->Advance(-3.0f);
    EXPECT_FLOAT_EQ(track->GetPlayer().GetTime(), 26.0f);
    EXPECT_FLOAT_EQ(track->GetValue(), 10.0f);
}

TEST(AnimationTrack, CyclicWrapsAndExtrapolationContinues) {
    auto cyclic = Ramp<LinearAnimationTrack>(AnimationTrack::Cyclic);
    auto continued = Ramp<LinearAnimationTrack>(AnimationTrack::CyclicExtrapolation);
    for (auto* track : {cyclic.get(), continued.get()}) {
        track->Advance(5.0f);
        track->Advance(10.0f);
        EXPECT_FLOAT_EQ(track->GetPlayer().GetTime(), 6.0f);
        EXPECT_EQ(track->GetPlayer().GetCycles(), 1);
        EXPECT_EQ(track->GetPlayer().GetIndex(), 0);
    }
    EXPECT_FLOAT_EQ(cyclic->GetValue(), 5.0f);
    EXPECT_FLOAT_EQ(continued->GetValue(), 15.0f);
    continued->Advance(10.0f);
    EXPECT_FLOAT_EQ(continued->GetValue(), 25.0f);
}

TEST(AnimationTrack, LongJumpsCountEveryCycleAndEnd) {
    auto stepped = Ramp<LinearAnimationTrack>(AnimationTrack::CyclicExtrapolation);
    auto jumped = Ramp<LinearAnimationTrack>(AnimationTrack::CyclicExtrapolation);
    for (int i = 0; i < 37; ++i)
        stepped->Advance(3.0f);
    jumped->Advance(111.0f);
    EXPECT_EQ(jumped->GetPlayer().GetCycles(), stepped->GetPlayer().GetCycles());
    EXPECT_EQ(jumped->GetPlayer().GetCycles(), 11);
    EXPECT_NEAR(jumped->GetPlayer().GetTime(), stepped->GetPlayer().GetTime(), 1e-3f);
    EXPECT_NEAR(jumped->GetValue(), 111.0f, 1e-3f);

    // Far beyond float precision of the keys the cursor still ends between them.
    auto far = Ramp<LinearAnimationTrack>(AnimationTrack::Cyclic);
    far->Advance(1e30f);
    EXPECT_GE(far->GetPlayer().GetTime(), 1.0f);
    EXPECT_LE(far->GetPlayer().GetTime(), 11.0f);
    EXPECT_EQ(far->GetPlayer().GetCycles(), std::numeric_limits<std::int32_t>::max());
}

TEST(AnimationTrack, BackwardsPastTheFirstKeyHoldsIt) {
    auto track = Ramp<LinearAnimationTrack>(AnimationTrack::Cyclic);
    track->Advance(3.0f);
    track->Advance(-10.0f);
    EXPECT_EQ(track->GetPlayer().GetIndex(), 0);
    EXPECT_EQ(track->GetPlayer().GetCycles(), 0);
    EXPECT_FLOAT_EQ(track->GetValue(), 0.0f);
}

TEST(AnimationTrack, ConstantNeverInterpolates) {
    ConstantAnimationTrack track;
    track.AddKey(1.0f, 2.0f);
    track.AddKey(5.0f, 7.0f);
    track.AddKey(9.0f, -1.0f);
    track.SetExtrapolation(AnimationTrack::Constant);
    track.SetTime(4.9f);
    EXPECT_EQ(track.GetValue(), 2.0f);
    track.SetTime(5.0f);
    EXPECT_EQ(track.GetValue(), 2.0f); // the segment 1-5 at fraction 1 is still key 0
    track.SetTime(5.5f);
    EXPECT_EQ(track.GetValue(), 7.0f);
    track.SetTime(20.0f);
    EXPECT_EQ(track.GetValue(), -1.0f);
}

TEST(AnimationTrack, BezierWithThirdPointHandlesIsLinear) {
    BezierAnimationTrack bezier;
    LinearAnimationTrack linear;
    const float keys[][2] = {{1, 0}, {7, 12}, {10, 3}};
    for (int i = 0; i < 3; ++i) {
        const float prevT = i > 0 ? keys[i - 1][0] : keys[i][0] - 3;
        const float prevV = i > 0 ? keys[i - 1][1] : keys[i][1];
        const float nextT = i < 2 ? keys[i + 1][0] : keys[i][0] + 3;
        const float nextV = i < 2 ? keys[i + 1][1] : keys[i][1];
        const float t = keys[i][0], v = keys[i][1];
        bezier.AddKey(t, v, Handle{t - (t - prevT) / 3, v - (v - prevV) / 3},
                      Handle{t + (nextT - t) / 3, v + (nextV - v) / 3});
        linear.AddKey(t, v);
    }
    bezier.SetExtrapolation(AnimationTrack::Cyclic);
    linear.SetExtrapolation(AnimationTrack::Cyclic);
    for (int step = 0; step < 40; ++step) {
        bezier.Advance(0.7f);
        linear.Advance(0.7f);
        ASSERT_NEAR(bezier.GetValue(), linear.GetValue(), 1e-4f) << "step " << step;
    }
}

TEST(AnimationTrack, BezierFollowsItsHandles) {
    BezierAnimationTrack track;
    track.AddKey(1, 0, Handle{0, 0}, Handle{2, 10});
    track.AddKey(4, 0, Handle{3, 10}, Handle{5, 0});
    track.SetExtrapolation(AnimationTrack::Constant);
    track.SetTime(2.5f);
    // B(0.5) = 3/8 * 10 + 3/8 * 10.
    EXPECT_FLOAT_EQ(track.GetValue(), 7.5f);
}

TEST(AnimationTrack, SingleKeyHoldsInEveryModeAndEnds) {
    for (std::int32_t mode :
         {AnimationTrack::Constant, AnimationTrack::Cyclic, AnimationTrack::CyclicExtrapolation}) {
        LinearAnimationTrack linear;
        BezierAnimationTrack bezier;
        linear.AddKey(5.0f, 3.0f);
        bezier.AddKey(5.0f, 3.0f, Handle{4, 9}, Handle{6, -9});
        linear.SetExtrapolation(mode);
        bezier.SetExtrapolation(mode);
        for (float step : {2.0f, 10.0f, -30.0f, 1000.0f}) {
            linear.Advance(step);
            bezier.Advance(step);
            EXPECT_EQ(linear.GetValue(), 3.0f) << mode;
            EXPECT_EQ(bezier.GetValue(), 3.0f) << mode;
        }
    }
}

TEST(AnimationTrack, BrokenKeyOrdersEnd) {
    // Equal first and last times, descending keys, a NaN key: the cursor must
    // still stop and produce a finite value.
    const float tiny = std::nextafter(2.0f, 1.0f);
    const float orders[][3] = {{std::nextafter(tiny, 1.0f), tiny, tiny},
                               {4, 9, 4},
                               {10, 5, 1},
                               {1, std::numeric_limits<float>::quiet_NaN(), 8}};
    for (const auto& times : orders) {
        LinearAnimationTrack track;
        for (int i = 0; i < 3; ++i)
            track.AddKey(times[i], static_cast<float>(i));
        track.SetExtrapolation(AnimationTrack::Cyclic);
        track.Advance(25.0f);
        track.Advance(-7.0f);
        EXPECT_TRUE(std::isfinite(track.GetValue()));
    }
}

TEST(AnimationTrack, EmptyTrackStaysZero) {
    LinearAnimationTrack track;
    track.SetExtrapolation(AnimationTrack::Cyclic);
    track.Advance(12.0f);
    EXPECT_EQ(track.GetValue(), 0.0f);
    EXPECT_FLOAT_EQ(track.GetPlayer().GetTime(), 13.0f);
}

TEST(AnimationTrack, ResetRewinds) {
    auto track = Ramp<LinearAnimationTrack>(AnimationTrack::CyclicExtrapolation);
    track->Advance(27.0f);
    ASSERT_GT(track->GetPlayer().GetCycles(), 0);
    track->Reset();
    EXPECT_EQ(track->GetValue(), 0.0f);
    EXPECT_EQ(track->GetPlayer().GetTime(), 1.0f);
    EXPECT_EQ(track->GetPlayer().GetIndex(), 0);
    EXPECT_EQ(track->GetPlayer().GetFraction(), 0.0f);
    EXPECT_EQ(track->GetPlayer().GetCycles(), 0);
    track->Advance(5.0f);
    EXPECT_FLOAT_EQ(track->GetValue(), 5.0f);
}
