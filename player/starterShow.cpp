#include "player/starterShow.h"

#include "tools/generators/fileWriter.h"
#include "tools/generators/motionCurves.h"
#include "tools/generators/mp3Encoder.h"
#include "tools/generators/sceneFile.h"
#include "tools/generators/sceneMeshes.h"
#include "tools/generators/showTime.h"
#include "tools/generators/song.h"

#include <cmath>
#include <numbers>
#include <string>

namespace {

using namespace kovra::tools;
using engine::math::Vector3f;

constexpr float kStarterSeconds = 8.0f; // as the starter manifest says
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kSparkLap = 4.0f; // seconds
constexpr int kSparkKeys = 16;
constexpr int kMusicKilobits = 160;

// Circles the rock slowly, looking at it from a little above.
SceneObject OrbitCamera() {
    SceneObject camera = Object("Camera", "Cam");
    camera.curves = CameraCurves(
        [](float t) {
            const float a = 0.6f + 0.3f * t;
            return CameraAim{Vector3f(9.0f * std::sin(a), 3.5f, 9.0f * std::cos(a)),
                             Vector3f(0.0f, 1.0f, 0.0f)};
        },
        0.5f);
    return camera;
}

// Looks down on the rock from high above; the schedule does not use it yet.
SceneObject TopCamera() {
    SceneObject camera = Object("Camera", "CamTop");
    const Vector3f eye(0.0f, 14.0f, -12.0f);
    float pitch = 0.0f;
    float yaw = 0.0f;
    LookAngles(Vector3f(0.0f, 1.0f, 0.0f) - eye, pitch, yaw);
    camera.curves = {HoldCurve("LocX", eye.x),
                     HoldCurve("LocY", eye.y),
                     HoldCurve("LocZ", eye.z),
                     HoldCurve("RotX", CurveDegrees(pitch)),
                     HoldCurve("RotY", CurveDegrees(yaw)),
                     HoldCurve("RotZ", 0.0f)};
    return camera;
}

SceneObject Lamp() {
    SceneObject lamp = Object("Lamp", "Sun");
    lamp.location[0] = 8.0f;
    lamp.location[1] = 12.0f;
    lamp.location[2] = -6.0f;
    return lamp;
}

// A boulder three units across, turning slowly.
SceneObject Rock() {
    SceneObject rock = Object("Mesh", "Rock", "rock");
    rock.curves = {HoldCurve("ScaleX", 3.0f), HoldCurve("ScaleY", 2.4f), HoldCurve("ScaleZ", 3.0f),
                   TurnCurve(
                       "RotY", [](float t) { return 0.4f * t; }, 1.0f)};
    return rock;
}

// Flies round the rock once every kSparkLap seconds, bobbing up and down.
SceneObject Spark() {
    SceneObject spark = Object("Empty", "Spark");
    std::vector<float> frames, x, y, z;
    for (int k = 0; k <= kSparkKeys; ++k) {
        const float a = 2.0f * kPi * static_cast<float>(k % kSparkKeys) / kSparkKeys;
        frames.push_back(CurveFrame(kSparkLap * static_cast<float>(k) / kSparkKeys));
        x.push_back(3.2f * std::cos(a));
        y.push_back(2.0f + 0.6f * std::sin(2.0f * a));
        z.push_back(3.2f * std::sin(a));
    }
    spark.curves = {LoopCurve("LocX", frames, x), LoopCurve("LocY", frames, y),
                    LoopCurve("LocZ", frames, z)};
    return spark;
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

} // namespace

std::string WriteStarterShow(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(folder, ec) && !(fs::is_directory(folder, ec) && fs::is_empty(folder, ec)))
        return folder.string() + ": not a new or empty folder";
    const auto length = static_cast<std::uint32_t>(std::lround(kStarterSeconds * kFramesPerSecond));
    const std::vector<std::uint8_t> music =
        EncodeMp3(RenderSong(44100, kStarterSeconds), kMusicKilobits);
    if (music.empty())
        return "cannot encode the music";
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
        {"data/scene.demo", Bytes(EncodeScene({OrbitCamera(), TopCamera(), Lamp(),
                                               Object("Mesh", "Floor", "floor"), Rock(), Spark()},
                                              length))},
        {"data/scene.demo_scene/floor.kvr", Bytes(EncodeKvr(WaterPlane()))},
        {"data/scene.demo_scene/rock.kvr", Bytes(EncodeKvr(Boulder()))},
        {"data/music.mp3", music},
    };
    for (const StarterFile& file : StarterTextFiles())
        files.emplace_back(file.path, Bytes(file.text));
    for (const auto& [path, bytes] : files) {
        const fs::path target = folder / path;
        fs::create_directories(target.parent_path(), ec);
        if (!WriteBytes(target, bytes))
            return "cannot write " + target.string();
    }
    return "";
}
