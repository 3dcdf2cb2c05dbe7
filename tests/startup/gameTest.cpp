// The built program, run as a user runs it: help, usage errors and offline
// capture in both its outputs.
#include "common/options.h"
#include "support/scratchDir.h"
#include "support/tinyShow.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace kovra::test;
namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the program in the current folder on SDL's offscreen and dummy drivers.
Outcome Game(const std::string& arguments, const std::string& environment = "") {
    const std::string command = "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " + environment +
                                " '" KOVRA_GAME "' " + arguments + " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    Outcome outcome;
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.out = ReadFile("out.txt");
    outcome.err = ReadFile("err.txt");
    return outcome;
}

// The engine's own data and a small stand-in for the show's scene, without
// an earlier run's log.
void CopyShowData() {
    fs::copy(fs::path(KOVRA_SOURCE_DIR) / "data", "data", fs::copy_options::recursive);
    fs::remove("data/log.html");
    WriteTinyShow();
}

bool HaveFfmpeg() {
    return std::system("command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null") == 0;
}

TEST(Game, HelpGoesToStandardOutputAndEndsWell) {
    ScratchDir dir;
    const Outcome help = Game("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, HelpText());
    EXPECT_EQ(help.err, "");
}

TEST(Game, AnUnknownOptionPrintsTheHelpAsAnError) {
    ScratchDir dir;
    const Outcome bogus = Game("nodialog --bogus");
    EXPECT_EQ(bogus.status, 2);
    EXPECT_EQ(bogus.out, "");
    EXPECT_EQ(bogus.err, "game: unknown option '--bogus'\n\n" + HelpText());
    EXPECT_FALSE(fs::exists("data/log.html")); // nothing was started

    const Outcome range = Game("nodialog --capture out --rate 0");
    EXPECT_EQ(range.status, 2);
    EXPECT_NE(range.err.find("Capture rate must be above 0 and at most 1000 frames per second"),
              std::string::npos)
        << range.err;
}

TEST(Game, WithoutTheSceneFileItSaysWhichFileAndFails) {
    ScratchDir dir; // an empty data folder
    const Outcome run = Game("nodialog");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("Cannot load the scene file data/tree.demo: No such demo file found"),
              std::string::npos)
        << run.err;
    EXPECT_NE(ReadFile("data/log.html").find("Cannot load the scene file data/tree.demo"),
              std::string::npos);
}

TEST(Game, TwoPngCapturesOfTheShowAreTheSame) {
    ScratchDir dir;
    CopyShowData();
    const std::string capture = "nodialog --size 64x36 --rate 30 --to 0.31 --frames png ";
    const Outcome first = Game(capture + "--capture first");
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.err.find("Captured 10 frames to first/frame_NNNNNN.png"), std::string::npos)
        << first.err;
    const Outcome second = Game(capture + "--capture second");
    ASSERT_EQ(second.status, 0) << second.err;

    EXPECT_FALSE(fs::exists("first/frame_000010.png"));
    std::string previous;
    for (int k = 0; k < 10; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06d.png", k);
        const std::string frame = ReadFile(fs::path("first") / name);
        ASSERT_GT(frame.size(), 24u) << name;
        // PNG header: width and height at bytes 16 and 20, big-endian.
        EXPECT_EQ(frame.substr(16, 8), std::string("\0\0\0\x40\0\0\0\x24", 8)) << name;
        EXPECT_EQ(frame, ReadFile(fs::path("second") / name)) << name;
        EXPECT_NE(frame, previous) << name << " shows the time before it";
        previous = frame;
    }
}

TEST(Game, AVideoCaptureCarriesEveryFrameAndTheMusic) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    ScratchDir dir;
    CopyShowData();
    // Two seconds of tone stand in for the show's music.
    ASSERT_EQ(std::system("ffmpeg -y -loglevel error -f lavfi -i sine=frequency=440:duration=2 "
                          "data/Vantor-Kelmsong.mp3"),
              0);
    const std::string capture = "nodialog --size 64x36 --rate 30 --to 0.31 ";
    const Outcome first = Game(capture + "--capture first");
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.err.find("Captured 10 frames to first/show.mp4"), std::string::npos);
    ASSERT_EQ(Game(capture + "--capture second").status, 0);

    const auto probe = [](const std::string& what) {
        const std::string command =
            "ffprobe -v error -count_frames -of csv=p=0 " + what + " first/show.mp4 >probe.txt";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return ReadFile("probe.txt");
    };
    EXPECT_EQ(probe("-select_streams v:0 -show_entries stream=width,height,nb_read_frames,pix_fmt"),
              "64,36,yuv420p,10\n");
    EXPECT_EQ(probe("-select_streams a:0 -show_entries stream=codec_name"), "aac\n");
    const auto decode = [](const std::string& folder) {
        const std::string command = "ffmpeg -loglevel error -i " + folder +
                                    "/show.mp4 -f rawvideo -pix_fmt rgb24 " + folder + ".rgb";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return ReadFile(folder + ".rgb");
    };
    const std::string pixels = decode("first");
    EXPECT_EQ(pixels.size(), 10u * 64 * 36 * 3);
    EXPECT_EQ(pixels, decode("second"));
}

} // namespace
