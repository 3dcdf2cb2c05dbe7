#include "engine/gfx/animationController.h"
#include "engine/gfx/boneAnimation.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

using namespace engine::gfx;
using engine::math::Matrix4x4;
using engine::math::Quaternion;
using engine::math::Vector3f;
using engine::math::Vector4f;

namespace {

constexpr int kBones = 40;

// A looping Bezier curve of 30 keys, like an exported walk cycle channel.
std::unique_ptr<AnimationTrack> WalkCurve(float phase) {
    auto track = std::make_unique<BezierAnimationTrack>();
    for (int k = 0; k < 30; ++k) {
        const float t = 1.0f + 2.0f * static_cast<float>(k);
        const float v = std::sin(phase + 0.3f * static_cast<float>(k));
        track->AddKey(t, v, Handle{t - 0.6f, v - 0.1f}, Handle{t + 0.6f, v + 0.1f});
    }
    track->SetExtrapolation(AnimationTrack::Cyclic);
    return track;
}

// 40 bones in a chain, each with one location and one quaternion curve.
void BM_FortyBoneTracks(benchmark::State& state) {
    BoneAnimation skeleton;
    std::vector<std::int32_t> parents;
    for (int b = 0; b < kBones; ++b) {
        auto controller = std::make_shared<AnimationController>();
        const float phase = static_cast<float>(b);
        controller->AddPipe(std::make_unique<LocPipe>(1, WalkCurve(phase), Vector3f(1, 0, 0)));
        controller->AddPipe(
            std::make_unique<QuatPipe>(4, WalkCurve(phase + 1.0f), Vector4f(0, 0, 0, 1)));
        skeleton.AddBone(Bone("bone" + std::to_string(b), controller, Vector3f(0, 1, 0),
                              Quaternion(), Vector3f(), Quaternion(0, 0, 0, 0)));
        parents.push_back(b - 1);
    }
    skeleton.SetParents(parents, "bench.kvr");
    for (auto _ : state) {
        // One frame of a 60 Hz display, then every bone's pose matrix.
        skeleton.Advance(1.0f / 60.0f);
        for (Bone& bone : skeleton.GetBones()) {
            const Matrix4x4& pose = bone.PoseLocal();
            benchmark::DoNotOptimize(pose);
        }
    }
}
BENCHMARK(BM_FortyBoneTracks);

// Only the curves: 40 bone controllers advanced and evaluated.
void BM_FortyControllersEvaluate(benchmark::State& state) {
    std::vector<std::unique_ptr<AnimationController>> controllers;
    for (int b = 0; b < kBones; ++b) {
        auto controller = std::make_unique<AnimationController>();
        controller->AddPipe(
            std::make_unique<LocPipe>(1, WalkCurve(static_cast<float>(b)), Vector3f(1, 0, 0)));
        controllers.push_back(std::move(controller));
    }
    for (auto _ : state) {
        for (auto& controller : controllers) {
            controller->Advance(25.0f / 60.0f);
            const Pose pose = controller->Evaluate();
            benchmark::DoNotOptimize(pose);
        }
    }
}
BENCHMARK(BM_FortyControllersEvaluate);

} // namespace
