#include "tools/generators/animFile.h"
#include "tools/generators/beast.h"

#include "engine/math/quaternion.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace kovra::tools {

using engine::math::Quaternion;
using engine::math::Vector3f;

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kDegrees = kPi / 180.0f;
constexpr float kCycleFrames = 21.0f;
constexpr int kKeys = 12; // keys per cycle, plus the closing one
constexpr float kKnee = 45.0f * kDegrees;

// A bone's turn at a phase of the cycle (0 to 1): about x, then about y.
using Turn = std::function<Quaternion(float phase)>;

Quaternion Pitch(float radians) {
    return Quaternion::RotationAxis(Vector3f(1, 0, 0), radians);
}

Quaternion Yaw(float radians) {
    return Quaternion::RotationAxis(Vector3f(0, 1, 0), radians);
}

float Wave(float phase) {
    return std::sin(2.0f * kPi * phase);
}

void AddTurn(std::vector<BoneCurve>& curves, const std::string& bone, const Turn& turn) {
    std::vector<float> frames, w, x, y, z;
    Quaternion previous;
    for (int k = 0; k <= kKeys; ++k) {
        const float phase = static_cast<float>(k % kKeys) / kKeys;
        Quaternion q = turn(phase);
        // q and -q are the same turn; keep the curves on one side.
        if (k > 0 && q.Dot(previous) < 0.0f)
            q = Quaternion(-q.x, -q.y, -q.z, -q.w);
        previous = q;
        frames.push_back(1.0f + kCycleFrames * static_cast<float>(k) / kKeys);
        w.push_back(q.w);
        x.push_back(q.x);
        y.push_back(q.y);
        z.push_back(q.z);
    }
    curves.push_back({bone, LoopCurve("QuatW", frames, w)});
    curves.push_back({bone, LoopCurve("QuatX", frames, x)});
    curves.push_back({bone, LoopCurve("QuatY", frames, y)});
    curves.push_back({bone, LoopCurve("QuatZ", frames, z)});
}

// Legs: a positive turn about x swings the foot back. Each foot pushes back
// while its hip turns forward to back (half the cycle), then swings forward
// with the knee bent to clear the ground.
void AddLeg(std::vector<BoneCurve>& curves, const std::string& leg, float offset, float swing) {
    AddTurn(curves, leg + "Upper",
            [=](float phase) { return Pitch(swing * Wave(phase + offset)); });
    AddTurn(curves, leg + "Lower", [=](float phase) {
        const float lift = std::max(0.0f, -std::cos(2.0f * kPi * (phase + offset)));
        return Pitch(kKnee * lift * lift);
    });
}

} // namespace

float WalkSwing(float stride) {
    // The foot moves 2 L sin(swing) against the body while it is down, for
    // half the cycle: the body covers that twice per cycle.
    return std::asin(std::clamp(stride / (4.0f * kBeastLegLength), 0.0f, 0.9f));
}

std::string BeastWalk(float stride) {
    const float swing = WalkSwing(stride);
    std::vector<BoneCurve> curves;
    // A walk's footfall order: back left, front left, back right, front right.
    AddLeg(curves, "BackLeft", 0.0f, swing);
    AddLeg(curves, "FrontLeft", 0.25f, swing);
    AddLeg(curves, "BackRight", 0.5f, swing);
    AddLeg(curves, "FrontRight", 0.75f, swing);
    AddTurn(curves, "Hips", [](float p) { return Yaw(3.0f * kDegrees * Wave(p)); });
    AddTurn(curves, "Chest", [](float p) { return Yaw(-3.0f * kDegrees * Wave(p)); });
    AddTurn(curves, "Neck", [](float p) { return Pitch(4.0f * kDegrees * Wave(2.0f * p)); });
    AddTurn(curves, "Head", [](float p) { return Pitch(-3.0f * kDegrees * Wave(2.0f * p)); });
    AddTurn(curves, "Tail1",
            [](float p) { return Pitch(-8.0f * kDegrees) * Yaw(10.0f * kDegrees * Wave(p)); });
    AddTurn(curves, "Tail2", [](float p) { return Yaw(14.0f * kDegrees * Wave(p - 0.1f)); });
    AddTurn(curves, "Tail3", [](float p) { return Yaw(18.0f * kDegrees * Wave(p - 0.2f)); });
    // The body bobs twice per cycle, lowest as each pair of feet passes.
    std::vector<float> frames, bob;
    for (int k = 0; k <= kKeys; ++k) {
        frames.push_back(1.0f + kCycleFrames * static_cast<float>(k) / kKeys);
        bob.push_back(0.015f * std::cos(4.0f * kPi * static_cast<float>(k % kKeys) / kKeys));
    }
    curves.push_back({"Root", LoopCurve("LocY", frames, bob)});

    std::vector<std::string> bones;
    for (const BeastJoint& joint : BeastJoints())
        bones.push_back(joint.name);
    return EncodeAnim(bones, curves);
}

} // namespace kovra::tools
