#include "common/cameraSchedule.h"

#include "engine/gfx/animationCamera.h"
#include "engine/gfx/animationNode.h"
#include "support/scratchDir.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace kovra::test;

namespace {

std::vector<std::string> Names(const std::vector<CameraCue>& cues) {
    std::vector<std::string> names;
    for (const auto& cue : cues)
        names.push_back(std::to_string(cue.frame) + " " + cue.name);
    return names;
}

TEST(CameraSchedule, ReadsAFrameAndANamePerLineAndIgnoresTheRest) {
    std::istringstream text("0 CamValley\n"
                            "  50\tCamShore  cut on the bar\n"
                            "\n"
                            "75\n"
                            "100 CamGrass\r\n"
                            "-3 CamBack");
    EXPECT_EQ(
        Names(ParseCameraSchedule(text)),
        (std::vector<std::string>{"0 CamValley", "50 CamShore", "100 CamGrass", "-3 CamBack"}));
}

TEST(CameraSchedule, AMissingFileGivesNoCues) {
    ScratchDir dir;
    EXPECT_TRUE(ReadCameraSchedule("data/camera.txt").empty());
    WriteFile("data/camera.txt", "25 A\n50 B\n");
    EXPECT_EQ(Names(ReadCameraSchedule("data/camera.txt")),
              (std::vector<std::string>{"25 A", "50 B"}));
}

struct Activations {
    std::vector<std::string> names;
    std::function<void(const std::string&)> Recorder() {
        return [this](const std::string& name) { names.push_back(name); };
    }
};

TEST(CameraSchedule, ACueIsDueOnceTheTimeIsPastItsFrame) {
    const std::vector<CameraCue> schedule = {{0, "first"}, {50, "second"}};
    Activations seen;
    // No time has passed yet: frame 0 is not behind us.
    EXPECT_EQ(ApplyDueCues(schedule, 0, 0.0, seen.Recorder()), 0u);
    EXPECT_EQ(ApplyDueCues(schedule, 0, 0.001 * 25, seen.Recorder()), 1u);
    // Exactly 2.0 s is frame 50 itself, which is not yet past.
    EXPECT_EQ(ApplyDueCues(schedule, 1, 2.0 * 25, seen.Recorder()), 1u);
    EXPECT_EQ(ApplyDueCues(schedule, 1, 2.001 * 25, seen.Recorder()), 2u);
    // Consumed cues stay consumed, also when time runs back.
    EXPECT_EQ(ApplyDueCues(schedule, 2, 0.0, seen.Recorder()), 2u);
    EXPECT_EQ(seen.names, (std::vector<std::string>{"first", "second"}));
}

TEST(CameraSchedule, OverdueCuesAreAllAppliedInOnePassInFileOrder) {
    engine::gfx::AnimationCamera cameras(nullptr);
    engine::gfx::AnimationNode a(nullptr), b(nullptr), c(nullptr);
    cameras.AddCamera("A", &a);
    cameras.AddCamera("B", &b);
    cameras.AddCamera("C", &c);
    const std::vector<CameraCue> schedule = {{10, "C"}, {20, "B"}, {30, "A"}};
    Activations seen;
    const unsigned next = ApplyDueCues(schedule, 0, 25.0, [&](const std::string& name) {
        seen.names.push_back(name);
        cameras.ActiveCamera(name);
    });
    EXPECT_EQ(next, 2u);
    EXPECT_EQ(seen.names, (std::vector<std::string>{"C", "B"}));
    EXPECT_EQ(cameras.GetActiveName(), "B");
    EXPECT_EQ(cameras.GetActiveCamera(), &b);
}

} // namespace
