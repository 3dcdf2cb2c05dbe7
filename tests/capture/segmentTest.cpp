// Captures of parts of the show join into the whole: a capture that starts at
// a cut point draws the same frames, byte for byte, as one that runs across
// it, and both name them by their number in the whole show.
#include "support/programRun.h"
#include "support/scratchDir.h"
#include "support/showData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <set>
#include <string>

using namespace kovra::test;
namespace fs = std::filesystem;

namespace {

constexpr double kRate = 10.0;
constexpr int kFramesEachSide = 2;

struct CutPoint {
    const char* name;
    int frame; // at 10 frames per second
};

std::set<std::string> FrameFiles(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::string FrameName(int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06d.png", frame);
    return name;
}

void PrintTo(const CutPoint& point, std::ostream* out) {
    *out << point.name;
}

class SegmentTest : public testing::TestWithParam<CutPoint> {};

TEST_P(SegmentTest, ASegmentDrawsWhatACaptureAcrossItsStartDraws) {
    ScratchDir dir(false);
    LinkShowData();
    const int cut = GetParam().frame;
    const auto capture = [](const std::string& folder, const std::string& range) {
        return RunProgram(KOVRA_GAME, "nodialog --frames png --size 160x90 --rate 10 --capture " +
                                          folder + " " + range);
    };
    const auto seconds = [](int frame) { return std::to_string(frame / kRate); };
    const Outcome across = capture("across", "--from " + seconds(cut - kFramesEachSide) + " --to " +
                                                 seconds(cut + kFramesEachSide));
    ASSERT_EQ(across.status, 0) << across.err;
    std::set<std::string> expected;
    for (int k = cut - kFramesEachSide; k < cut + kFramesEachSide; ++k)
        expected.insert(FrameName(k));
    ASSERT_EQ(FrameFiles("across"), expected);

    // A segment from the cut, by seconds, draws what the capture across it
    // draws there.
    const Outcome after =
        capture("after", "--from " + seconds(cut) + " --to " + seconds(cut + kFramesEachSide));
    ASSERT_EQ(after.status, 0) << after.err;
    for (int k = cut; k < cut + kFramesEachSide; ++k)
        EXPECT_EQ(ReadFile("after/" + FrameName(k)), ReadFile("across/" + FrameName(k)))
            << FrameName(k);

    // The segment before, by frame numbers, meets it without a gap or a
    // shared frame.
    const Outcome before =
        capture("before", "--frames-from " + std::to_string(cut - kFramesEachSide) +
                              " --frames-to " + std::to_string(cut));
    ASSERT_EQ(before.status, 0) << before.err;
    std::set<std::string> joined = FrameFiles("before");
    for (const std::string& name : FrameFiles("after"))
        EXPECT_TRUE(joined.insert(name).second) << name << " is in both segments";
    EXPECT_EQ(joined, expected);
    for (int k = cut - kFramesEachSide; k < cut; ++k)
        EXPECT_EQ(ReadFile("before/" + FrameName(k)), ReadFile("across/" + FrameName(k)))
            << FrameName(k);
}

// A cut to the Beast's camera (frame 500 of 1/25 s), the ribbon's climb
// between cuts, and the Beast half-way through a step.
INSTANTIATE_TEST_SUITE_P(Show, SegmentTest,
                         testing::Values(CutPoint{"CameraCut", 200}, CutPoint{"Ribbon", 453},
                                         CutPoint{"MidWalk", 263}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
