#include "tools/generators/showScene.h"

#include "tools/generators/beast.h"
#include "tools/generators/cameraCues.h"
#include "tools/generators/cameraShots.h"
#include "tools/generators/easing.h"
#include "tools/generators/motionCurves.h"
#include "tools/generators/sceneMeshes.h"
#include "tools/generators/showPaths.h"
#include "tools/generators/showTime.h"

#include <cmath>

namespace kovra::tools {

using engine::math::Vector3f;

namespace {

constexpr float kStep = 0.5f; // seconds between the keys of moving objects
constexpr int kRibbonKeys = 48;
// The Beast's walk plays at 1.2 times its speed: one 21-frame cycle every
// 0.7 s of the show.
constexpr float kWalkCycleSeconds = 21.0f / 25.0f / 1.2f;
constexpr const char* kScene = "tree.demo";

// Morning sun high in the south-east, late-afternoon sun low in the west.
SceneObject Sun() {
    SceneObject sun = Object("Lamp", "Sun");
    sun.curves = LocationCurves(
        [](float t) {
            return Vector3f(Stations(t, {{0, 160}, {64, -220}, {96, -340}}),
                            Stations(t, {{0, 330}, {64, 150}, {96, 60}}),
                            Stations(t, {{0, -200}, {64, -80}, {96, 40}}));
        },
        4.0f);
    return sun;
}

// Flies its loop once per lap, for ever.
SceneObject TheCurve(const GroundHeight& ground) {
    SceneObject curve = Object("Empty", "TheCurve");
    std::vector<float> frames, x, y, z;
    for (int k = 0; k <= kRibbonKeys; ++k) {
        const float t = kRibbonLap * static_cast<float>(k % kRibbonKeys) / kRibbonKeys;
        const Vector3f p = RibbonPosition(ground, t);
        frames.push_back(CurveFrame(kRibbonLap * static_cast<float>(k) / kRibbonKeys));
        x.push_back(p.x);
        y.push_back(p.y);
        z.push_back(p.z);
    }
    curve.curves = {LoopCurve("LocX", frames, x), LoopCurve("LocY", frames, y),
                    LoopCurve("LocZ", frames, z)};
    return curve;
}

// "skyMood" goes from morning (0) to dusk (1) and stays there.
SceneObject Sky() {
    SceneObject sky = Object("Mesh", "Sky", "sky");
    sky.curves.push_back(SampledCurve(
        "skyMood",
        [](float t) {
            return Stations(t, {{0, 0}, {16, 0}, {64, 0.7f}, {84, 1}});
        },
        2.0f));
    return sky;
}

// Boulders on the slopes and the shore, a third of their height sunk.
std::vector<SceneObject> Rocks(const GroundHeight& ground) {
    struct Placement {
        float x, z, size, turn;
    };
    const Placement placements[] = {{8.0f, 14.0f, 2.6f, 0.3f},   {52.0f, -22.0f, 3.4f, 1.9f},
                                    {20.0f, -50.0f, 2.2f, 4.0f}, {48.0f, 48.0f, 1.8f, 2.7f},
                                    {24.0f, 82.0f, 2.8f, 5.1f},  {40.0f, 30.0f, 1.5f, 0.9f}};
    std::vector<SceneObject> rocks;
    int n = 0;
    for (const Placement& p : placements) {
        const std::string name = "Rock" + std::to_string(++n);
        SceneObject rock = Object("Mesh", "", "rock");
        rock.name = name;
        rock.location[0] = p.x;
        rock.location[1] = ground.At(p.x, p.z) - 0.3f * p.size;
        rock.location[2] = p.z;
        rock.rotation[1] = p.turn;
        // Curves that only hold the size make the rock a scaled node.
        rock.curves = {HoldCurve("ScaleX", p.size), HoldCurve("ScaleY", p.size * 0.8f),
                       HoldCurve("ScaleZ", p.size * 1.1f)};
        rocks.push_back(rock);
    }
    return rocks;
}

SceneObject Beast(const BeastPath& path) {
    SceneObject beast = Object("Mesh", "Beast", "beast");
    beast.curves = LocationCurves([&](float t) { return path.Position(t); }, kStep);
    beast.curves.push_back(TurnCurve(
        "RotY", [&](float t) { return path.Heading(t); }, kStep));
    return beast;
}

} // namespace

std::vector<SceneObject> ShowObjects(const GroundHeight& ground) {
    const BeastPath beast(ground);
    std::vector<SceneObject> objects = ShowCameras(ground, beast);
    objects.push_back(Sun());
    objects.push_back(Object("Empty", "TreePlace"));
    objects.push_back(TheCurve(ground));
    objects.push_back(Object("Mesh", "Terrain", "terrain"));
    objects.push_back(Object("Mesh", "Water", "water"));
    objects.push_back(Sky());
    for (const SceneObject& rock : Rocks(ground))
        objects.push_back(rock);
    objects.push_back(Beast(beast));
    return objects;
}

std::vector<ShowFile> ShowSceneFiles() {
    const GroundHeight ground;
    const BeastPath beast(ground);
    const std::string folder = std::string(kScene) + "_scene/";
    // The scene's length field: the show in frames.
    const auto length = static_cast<std::uint32_t>(std::lround(kShowSeconds * kFramesPerSecond));
    return {
        {kScene, EncodeScene(ShowObjects(ground), length)},
        {folder + "water.kvr", EncodeKvr(WaterPlane())},
        {folder + "sky.kvr", EncodeKvr(SkyDome())},
        {folder + "rock.kvr", EncodeKvr(Boulder())},
        {folder + "beast.kvr", EncodeKvr(BeastModel())},
        {folder + "beast.anim", BeastWalk(beast.Speed() * kWalkCycleSeconds)},
        {"camera.txt", CameraScheduleText()},
    };
}

} // namespace kovra::tools
