#include "tools/generators/cameraCues.h"
#include "tools/generators/groundHeight.h"
#include "tools/generators/showScene.h"

#include "common/cameraSchedule.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

using kovra::tools::CameraScheduleText;
using kovra::tools::ShowCameraCues;

namespace {

constexpr int kBar = 50;
constexpr int kClimax = 48 * kBar; // bars 49-60
constexpr int kOutro = 60 * kBar;

std::set<std::string> SceneCameras() {
    std::set<std::string> cameras;
    for (const auto& object : kovra::tools::ShowObjects(kovra::tools::GroundHeight()))
        if (object.kind == "Camera")
            cameras.insert(object.name);
    return cameras;
}

// The cameras cut to between two frames.
std::set<std::string> CamerasBetween(int from, int to) {
    std::set<std::string> names;
    for (const auto& [frame, camera] : ShowCameraCues())
        if (frame >= from && frame < to)
            names.insert(camera);
    return names;
}

} // namespace

TEST(CameraSchedule, TheGameReadsEveryCueOfTheFile) {
    std::istringstream file(CameraScheduleText());
    const std::vector<CameraCue> read = ParseCameraSchedule(file);
    const auto cues = ShowCameraCues();
    ASSERT_EQ(read.size(), cues.size());
    for (std::size_t i = 0; i < cues.size(); ++i) {
        EXPECT_EQ(read[i].frame, cues[i].first);
        EXPECT_EQ(read[i].name, cues[i].second);
    }
    EXPECT_EQ(CameraScheduleText().substr(0, 12), "0 CamValley\n");
}

TEST(CameraSchedule, CutsAscendOnBarsAndOnHalfBarsInTheClimax) {
    const auto cues = ShowCameraCues();
    const std::set<std::string> cameras = SceneCameras();
    ASSERT_EQ(cameras.size(), 9u);
    int previous = -1;
    std::string previousCamera;
    for (const auto& [frame, camera] : cues) {
        EXPECT_GT(frame, previous);
        EXPECT_GE(frame, 0);
        EXPECT_LT(frame, 3130);
        EXPECT_TRUE(cameras.contains(camera)) << camera;
        // A cut shows something else.
        EXPECT_NE(camera, previousCamera) << frame;
        const bool climax = frame >= kClimax && frame < kOutro;
        EXPECT_EQ(frame % (climax ? kBar / 2 : kBar), 0) << frame;
        previous = frame;
        previousCamera = camera;
    }
    // Every half-bar of the climax cuts.
    int climaxCuts = 0;
    for (const auto& cue : cues)
        climaxCuts += cue.first >= kClimax && cue.first < kOutro;
    EXPECT_EQ(climaxCuts, 24);
}

TEST(CameraSchedule, SectionsUseTheirShots) {
    EXPECT_EQ(CamerasBetween(0, 400), (std::set<std::string>{"CamValley", "CamShore"}));
    EXPECT_EQ(CamerasBetween(400, 1000),
              (std::set<std::string>{"CamGrass", "CamBeast", "CamBeastSide"}));
    EXPECT_EQ(CamerasBetween(1000, 1600), (std::set<std::string>{"CamRibbon", "CamRibbonHigh"}));
    EXPECT_EQ(CamerasBetween(1600, kClimax), (std::set<std::string>{"CamLake", "CamDusk"}));
    EXPECT_EQ(CamerasBetween(kClimax, kOutro), SceneCameras());
    EXPECT_EQ(CamerasBetween(kOutro, 3130), (std::set<std::string>{"CamValley"}));
    // The ribbon section cuts every bar, build and dusk every two bars.
    for (const auto& [frame, camera] : ShowCameraCues()) {
        if (frame >= 400 && frame < 1000) {
            EXPECT_EQ(frame % 100, 0) << camera;
        }
        if (frame >= 1600 && frame < kClimax) {
            EXPECT_EQ(frame % 100, 0) << camera;
        }
    }
    EXPECT_EQ(CamerasBetween(1000, 1600).size(), 2u);
    int ribbonCuts = 0;
    for (const auto& cue : ShowCameraCues())
        ribbonCuts += cue.first >= 1000 && cue.first < 1600;
    EXPECT_EQ(ribbonCuts, 12);
}
