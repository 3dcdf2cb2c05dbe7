#include "tools/generators/cameraShots.h"

#include "tools/generators/easing.h"
#include "tools/generators/motionCurves.h"
#include "tools/generators/showTime.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace kovra::tools {

using engine::math::Vector3f;

namespace {

constexpr float kDegrees = std::numbers::pi_v<float> / 180.0f;
// How far above the ground or the water a camera keeps at least.
constexpr float kClearance = 1.0f;
// Curve keys per second of a camera: enough to follow a moving subject.
constexpr float kStep = 0.5f;

SceneObject Camera(const std::string& name, const std::vector<SceneCurve>& curves) {
    SceneObject camera;
    camera.kind = "Camera";
    camera.name = name;
    camera.curves = curves;
    return camera;
}

// Keeps an eye above the ground and the water.
Vector3f Clear(const GroundHeight& ground, Vector3f eye, float height) {
    eye.y = std::max(eye.y, std::max(0.0f, ground.At(eye.x, eye.z)) + height);
    return eye;
}

// The island's middle, which the wide shots look at.
const Vector3f kIsland(30.0f, 4.0f, 12.0f);

// The middle of the ribbon's loop.
const Vector3f kRibbonMiddle(36.0f, 0.0f, 62.0f);

// High over the valley, circling the island; a long pull-back at the end.
CameraAim Valley(const GroundHeight& ground, float t) {
    const float angle = Stations(t, {{0, 200}, {16, 240}, {96, 330}, {120, 400}, {125.2f, 410}});
    const float radius = Stations(t, {{0, 150}, {16, 120}, {96, 110}, {120, 80}, {125.2f, 170}});
    const float height = Stations(t, {{0, 75}, {16, 50}, {96, 45}, {120, 30}, {125.2f, 85}});
    const float a = angle * kDegrees;
    const Vector3f eye = kIsland + Vector3f(radius * std::sin(a), height, radius * std::cos(a));
    return {Clear(ground, eye, kClearance), kIsland};
}

// Low over the lake along the island's eastern shore, looking inland.
CameraAim Shore(const GroundHeight& ground, float t) {
    const float z = Lerp(-25.0f, 45.0f, t / kShowSeconds);
    const Vector3f eye(74.0f + 3.0f * std::sin(t * 0.05f), 3.5f, z);
    return {Clear(ground, eye, 2.5f), Vector3f(44.0f, 3.0f, z + 10.0f)};
}

// Just above the grass of the northern meadow, drifting between the trunks
// and looking a little down onto the blades ahead.
CameraAim Grass(const GroundHeight& ground, float t) {
    const float f = t / kShowSeconds;
    const Vector3f eye(Lerp(18.0f, 48.0f, f), 0.0f, Lerp(46.0f, 64.0f, f) + std::sin(t * 0.1f));
    const float turn = 35.0f * kDegrees + 0.4f * std::sin(t * 0.07f);
    const Vector3f at = Clear(ground, eye, 1.4f);
    const Vector3f ahead(std::sin(turn) * 10.0f, -1.0f, std::cos(turn) * 10.0f);
    return {at, at + ahead};
}

// Behind the Beast and a little inside its loop, looking over it.
CameraAim BeastClose(const GroundHeight& ground, const BeastPath& beast, float t) {
    const Vector3f p = beast.Position(t);
    const float h = beast.Heading(t);
    Vector3f inwards = beast.Middle() - p;
    inwards.y = 0.0f;
    inwards.Normalize();
    const Vector3f eye =
        p - Vector3f(std::sin(h), 0.0f, std::cos(h)) * 5.5f + inwards * 2.0f + Vector3f(0, 2.2f, 0);
    return {Clear(ground, eye, 1.5f), p + Vector3f(0.0f, 1.0f, 0.0f)};
}

// From the middle of the Beast's loop, level with it: a side view that
// turns as it walks round.
CameraAim BeastSide(const GroundHeight& ground, const BeastPath& beast, float t) {
    const Vector3f p = beast.Position(t);
    const Vector3f middle = beast.Middle();
    const Vector3f eye = middle + (p - middle) * 0.3f;
    return {Clear(ground, Vector3f(eye.x, 0.0f, eye.z), 1.3f), p + Vector3f(0.0f, 0.9f, 0.0f)};
}

// Following the ribbon's head from behind, outside its loop and above, so
// that the trail shows as a curve among the trunks.
CameraAim Ribbon(const GroundHeight& ground, float t) {
    const Vector3f behind = RibbonPosition(ground, t - 1.5f);
    Vector3f out = behind - kRibbonMiddle;
    out.y = 0.0f;
    out.Normalize();
    const Vector3f eye = behind + out * 6.0f + Vector3f(0.0f, 4.0f, 0.0f);
    return {Clear(ground, eye, 2.0f), RibbonPosition(ground, t + 0.3f)};
}

// High beside the ribbon's loop, turning with it.
CameraAim RibbonHigh(const GroundHeight& ground, float t) {
    const Vector3f head = RibbonPosition(ground, t);
    const Vector3f middle(kRibbonMiddle.x, head.y, kRibbonMiddle.z);
    Vector3f out = head - middle;
    out.y = 0.0f;
    out.Normalize();
    const Vector3f eye = head + out * 16.0f + Vector3f(0.0f, 14.0f, 0.0f);
    return {Clear(ground, eye, 3.0f), head * 0.7f + middle * 0.3f};
}

// Far out on the lake to the west, low, the island mirrored before it.
CameraAim Lake(const GroundHeight& ground, float t) {
    const float f = t / kShowSeconds;
    const Vector3f eye(Lerp(-75.0f, -60.0f, f), Lerp(5.0f, 8.0f, f), Lerp(-10.0f, 40.0f, f));
    return {Clear(ground, eye, 2.0f), kIsland + Vector3f(0.0f, 2.0f, 0.0f)};
}

// East of the island over the water, slowly circling the hill, looking
// towards the low sun.
CameraAim Dusk(const GroundHeight& ground, float t) {
    const float a = Lerp(60.0f, 110.0f, t / kShowSeconds) * kDegrees;
    const Vector3f hill(32.0f, 6.0f, 4.0f);
    const Vector3f eye = hill + Vector3f(std::sin(a) * 48.0f, -3.5f, std::cos(a) * 48.0f);
    return {Clear(ground, eye, 2.0f), hill};
}

} // namespace

std::vector<SceneObject> ShowCameras(const GroundHeight& ground, const BeastPath& beast) {
    const GroundHeight& g = ground;
    return {
        Camera("CamValley", CameraCurves([&](float t) { return Valley(g, t); }, kStep)),
        Camera("CamShore", CameraCurves([&](float t) { return Shore(g, t); }, kStep)),
        Camera("CamGrass", CameraCurves([&](float t) { return Grass(g, t); }, kStep)),
        Camera("CamBeast", CameraCurves([&](float t) { return BeastClose(g, beast, t); }, kStep)),
        Camera("CamBeastSide",
               CameraCurves([&](float t) { return BeastSide(g, beast, t); }, kStep)),
        Camera("CamRibbon", CameraCurves([&](float t) { return Ribbon(g, t); }, kStep)),
        Camera("CamRibbonHigh", CameraCurves([&](float t) { return RibbonHigh(g, t); }, kStep)),
        Camera("CamLake", CameraCurves([&](float t) { return Lake(g, t); }, kStep)),
        Camera("CamDusk", CameraCurves([&](float t) { return Dusk(g, t); }, kStep)),
    };
}

} // namespace kovra::tools
