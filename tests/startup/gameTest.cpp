// The built program, run as a user runs it: help, usage errors and offline
// capture in both its outputs, whole and interrupted.
#include "common/options.h"
#include "support/programRun.h"
#include "support/scratchDir.h"
#include "support/tinyShow.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <regex>
#include <string>
#include <thread>

extern char** environ;

using namespace kovra::test;
namespace fs = std::filesystem;

namespace {

Outcome Game(const std::string& arguments, const std::string& environment = "") {
    return RunProgram(KOVRA_GAME, arguments, ".", environment);
}

// Runs a capture into `folder` as a shell runs a job, in a process group of
// its own, and sends `signal` to the whole group, as a terminal's Ctrl-C or
// hangup goes, once the first frame's file shows the capture has begun.
// The status is -1 when it ended, or hung, before that.
Outcome InterruptCapture(const std::string& arguments, const std::string& folder, int signal) {
    const std::string command = "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy exec '" KOVRA_GAME
                                "' nodialog --capture " +
                                folder + " " + arguments + " >out.txt 2>err.txt";
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    pid_t game = -1;
    const int spawned =
        posix_spawn(&game, "/bin/sh", nullptr, &attributes, const_cast<char**>(argv), environ);
    posix_spawnattr_destroy(&attributes);
    Outcome outcome;
    if (spawned != 0)
        return outcome;
    const auto begun = [&] {
        std::error_code ec;
        return fs::directory_iterator(folder, ec) != fs::directory_iterator();
    };
    int status = 0;
    bool ended = false;
    // Only a guard against a run that hangs before its first frame.
    int polls = 30000;
    while (!ended && !begun() && --polls > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ended = waitpid(game, &status, WNOHANG) == game;
    }
    if (polls == 0) {
        kill(-game, SIGKILL);
        waitpid(game, &status, 0);
    } else if (!ended) {
        kill(-game, signal);
        waitpid(game, &status, 0);
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 256 + WTERMSIG(status);
    }
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

// What an interrupted capture said on stderr and in the log, checked
// exactly: the number of frames it kept.
std::string KeptFrames(const std::string& err, const std::string& kept) {
    std::smatch said;
    if (!std::regex_search(err, said,
                           std::regex("(?:^|\n)Interrupted after ([1-9][0-9]*) of 500 frames\n"
                                      "Kept \\1 frames in " +
                                      kept + "\n$")))
        return "";
    const std::string frames = said[1];
    const std::regex row("<tr class=\"warning\"><td>WARNING</td><td>[0-9]+</td><td>[^<]+</td>"
                         "<td>Interrupted after " +
                         frames + " of 500 frames</td></tr>");
    return std::regex_search(ReadFile("data/log.html"), row) ? frames : "";
}

TEST(Game, AnInterruptedCaptureKeepsWhatItHasUnderItsOwnNameAndFails) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    ScratchDir dir;
    CopyShowData();
    const std::string asked = "--size 160x90 --rate 25 --from 10 --to 30";
    const Outcome video = InterruptCapture(asked, "clip", SIGTERM);
    EXPECT_EQ(video.status, 128 + SIGTERM) << video.err;
    const std::string frames = KeptFrames(video.err, "clip/show.partial.mp4");
    ASSERT_NE(frames, "") << video.err;
    EXPECT_FALSE(fs::exists("clip/show.mp4"));
    EXPECT_FALSE(fs::exists("clip/show.mp4.tmp"));
    // The partial video is a whole file holding every frame counted.
    ASSERT_EQ(std::system("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                          "stream=nb_read_frames -of csv=p=0 clip/show.partial.mp4 >probe.txt"),
              0);
    EXPECT_EQ(ReadFile("probe.txt"), frames + "\n");

    // A capture that runs to its end replaces the partial one.
    const Outcome whole =
        Game("nodialog --capture clip --size 160x90 --rate 25 --from 10 --to 10.2");
    EXPECT_EQ(whole.status, 0) << whole.err;
    EXPECT_TRUE(fs::exists("clip/show.mp4"));
    EXPECT_FALSE(fs::exists("clip/show.partial.mp4"));

    // PNG frames are whole files each: those written are kept as they are.
    fs::remove("data/log.html");
    const Outcome png = InterruptCapture(asked + " --frames png", "frames", SIGINT);
    EXPECT_EQ(png.status, 128 + SIGINT) << png.err;
    const std::string pngFrames = KeptFrames(png.err, "frames/frame_NNNNNN.png");
    ASSERT_NE(pngFrames, "") << png.err;
    const auto count = std::distance(fs::directory_iterator("frames"), fs::directory_iterator());
    EXPECT_EQ(std::to_string(count), pngFrames);
    // Frame files carry their number in the whole show: 10 s is frame 250.
    char last[32];
    std::snprintf(last, sizeof last, "frames/frame_%06d.png", 250 + std::stoi(pngFrames) - 1);
    EXPECT_TRUE(fs::exists(last));
}

} // namespace
