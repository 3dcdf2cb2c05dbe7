#include "support/scratchDir.h"

#include "tools/generators/groundHeight.h"
#include "tools/generators/showScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

using kovra::tools::CurveValue;
using kovra::tools::SceneCurve;
using kovra::tools::SceneObject;

namespace {

float Frame(float seconds) {
    return seconds * 25.0f + 1.0f;
}

const SceneObject& Find(const std::vector<SceneObject>& objects, const std::string& name) {
    const auto it = std::find_if(objects.begin(), objects.end(),
                                 [&](const SceneObject& o) { return o.name == name; });
    EXPECT_NE(it, objects.end()) << name;
    return *it;
}

const SceneCurve& Channel(const SceneObject& object, const std::string& channel) {
    const auto it = std::find_if(object.curves.begin(), object.curves.end(),
                                 [&](const SceneCurve& c) { return c.channel == channel; });
    EXPECT_NE(it, object.curves.end()) << object.name << " " << channel;
    return *it;
}

class ShowSceneFiles : public ::testing::Test {
protected:
    kovra::tools::GroundHeight ground;
    std::vector<SceneObject> objects = kovra::tools::ShowObjects(ground);
};

} // namespace

TEST_F(ShowSceneFiles, AreTheSameOnEveryRunAndWhatTheBuildWrote) {
    const auto files = kovra::tools::ShowSceneFiles();
    const auto again = kovra::tools::ShowSceneFiles();
    ASSERT_EQ(files.size(), again.size());
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(files[i].path, again[i].path);
        EXPECT_TRUE(files[i].bytes == again[i].bytes) << files[i].path;
        paths.push_back(files[i].path);
        // The showdata target ran the tool on the source tree's data folder.
        const auto written = std::filesystem::path(KOVRA_SOURCE_DIR) / "data" / files[i].path;
        EXPECT_TRUE(kovra::test::ReadFile(written) == files[i].bytes) << written;
    }
    EXPECT_EQ(paths, (std::vector<std::string>{
                         "tree.demo", "tree.demo_scene/water.kvr", "tree.demo_scene/sky.kvr",
                         "tree.demo_scene/rock.kvr", "tree.demo_scene/beast.kvr",
                         "tree.demo_scene/beast.anim", "camera.txt"}));
}

TEST_F(ShowSceneFiles, NameEveryObjectTheGameAndTheEffectsRelyOn) {
    std::map<std::string, std::pair<std::string, std::string>> kinds;
    for (const SceneObject& o : objects) {
        EXPECT_TRUE(o.parent.empty()) << o.name;
        EXPECT_TRUE(kinds.emplace(o.name, std::make_pair(o.kind, o.data)).second) << o.name;
    }
    const std::map<std::string, std::pair<std::string, std::string>> expected = {
        {"CamValley", {"Camera", ""}},     {"CamShore", {"Camera", ""}},
        {"CamGrass", {"Camera", ""}},      {"CamBeast", {"Camera", ""}},
        {"CamBeastSide", {"Camera", ""}},  {"CamRibbon", {"Camera", ""}},
        {"CamRibbonHigh", {"Camera", ""}}, {"CamLake", {"Camera", ""}},
        {"CamDusk", {"Camera", ""}},       {"Sun", {"Lamp", ""}},
        {"TreePlace", {"Empty", ""}},      {"TheCurve", {"Empty", ""}},
        {"Terrain", {"Mesh", "terrain"}},  {"Water", {"Mesh", "water"}},
        {"Sky", {"Mesh", "sky"}},          {"Rock1", {"Mesh", "rock"}},
        {"Rock2", {"Mesh", "rock"}},       {"Rock3", {"Mesh", "rock"}},
        {"Rock4", {"Mesh", "rock"}},       {"Rock5", {"Mesh", "rock"}},
        {"Rock6", {"Mesh", "rock"}},       {"Beast", {"Mesh", "beast"}}};
    EXPECT_EQ(kinds, expected);
    EXPECT_EQ(objects.front().name, "CamValley");
    // Static, at the origin: the trees are placed below it in world units.
    const SceneObject& place = Find(objects, "TreePlace");
    EXPECT_TRUE(place.curves.empty());
    EXPECT_EQ(place.location[0] * place.location[0] + place.location[1] * place.location[1] +
                  place.location[2] * place.location[2],
              0.0f);
}

TEST_F(ShowSceneFiles, SunSinksAndTheSkyTurnsToDuskAndStays) {
    const SceneObject& sun = Find(objects, "Sun");
    EXPECT_GT(CurveValue(Channel(sun, "LocY"), Frame(0)), 250.0f);
    EXPECT_LT(CurveValue(Channel(sun, "LocY"), Frame(100)), 100.0f);
    EXPECT_GT(CurveValue(Channel(sun, "LocY"), Frame(125)), 0.0f);

    const SceneCurve& mood = Channel(Find(objects, "Sky"), "skyMood");
    EXPECT_EQ(CurveValue(mood, Frame(0)), 0.0f);
    float previous = 0.0f;
    for (float t = 0.0f; t <= 125.2f; t += 0.1f) {
        const float value = CurveValue(mood, Frame(t));
        EXPECT_GE(value, previous - 1e-3f) << t;
        EXPECT_GE(value, -1e-3f) << t;
        EXPECT_LE(value, 1.0f + 1e-3f) << t;
        if (t >= 96.0f) {
            EXPECT_NEAR(value, 1.0f, 1e-3f) << t;
        }
        previous = value;
    }
    EXPECT_GT(CurveValue(mood, Frame(64)), 0.5f);
}

TEST_F(ShowSceneFiles, BeastWalksOnTheGroundAndTheRibbonFliesAboveIt) {
    const SceneObject& beast = Find(objects, "Beast");
    float travelled = 0.0f;
    for (float t = 0.0f; t <= 125.2f; t += 0.25f) {
        const float x = CurveValue(Channel(beast, "LocX"), Frame(t));
        const float y = CurveValue(Channel(beast, "LocY"), Frame(t));
        const float z = CurveValue(Channel(beast, "LocZ"), Frame(t));
        EXPECT_NEAR(y, ground.At(x, z), 0.1f) << t;
        EXPECT_GT(y, 0.2f) << "under water at " << t;
        if (t > 0.0f) {
            const float dx = x - CurveValue(Channel(beast, "LocX"), Frame(t - 0.25f));
            const float dz = z - CurveValue(Channel(beast, "LocZ"), Frame(t - 0.25f));
            travelled += std::sqrt(dx * dx + dz * dz);
            // Facing where it goes: the heading's direction and the step agree.
            const float heading = CurveValue(Channel(beast, "RotY"), Frame(t)) * 3.1415927f / 18.0f;
            EXPECT_GT(std::sin(heading) * dx + std::cos(heading) * dz,
                      0.9f * std::sqrt(dx * dx + dz * dz))
                << t;
        }
    }
    EXPECT_GT(travelled, 100.0f);

    const SceneObject& ribbon = Find(objects, "TheCurve");
    for (const SceneCurve& curve : ribbon.curves) {
        EXPECT_EQ(curve.extrapolation, "Cyclic");
        EXPECT_EQ(curve.keys.front().value, curve.keys.back().value) << curve.channel;
    }
    const float lap = Channel(ribbon, "LocX").keys.back().time;
    for (float frame = 1.0f; frame < lap; frame += 2.0f) {
        const float x = CurveValue(Channel(ribbon, "LocX"), frame);
        const float y = CurveValue(Channel(ribbon, "LocY"), frame);
        const float z = CurveValue(Channel(ribbon, "LocZ"), frame);
        EXPECT_GT(y - ground.At(x, z), 1.5f) << frame;
        EXPECT_LT(y - ground.At(x, z), 6.0f) << frame;
    }
}

TEST_F(ShowSceneFiles, RocksLieOnTheLandPartlySunk) {
    for (int n = 1; n <= 6; ++n) {
        const SceneObject& rock = Find(objects, "Rock" + std::to_string(n));
        const float floor = ground.At(rock.location[0], rock.location[2]);
        EXPECT_GT(floor, -0.5f) << rock.name;
        EXPECT_LT(rock.location[1], floor) << rock.name;
        EXPECT_GT(rock.location[1], floor - 2.0f) << rock.name;
    }
}
