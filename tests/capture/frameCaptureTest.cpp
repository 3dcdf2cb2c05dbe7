// Offline capture through the real OpenGL device: what is written, when the
// run ends, and how bad settings and failing encoders are reported.
#include "engine/core/frameCapture.h"
#include "engine/core/Window.h"
#include "engine/core/captureProgress.h"
#include "engine/core/exception.h"
#include "engine/core/kernel.h"
#include "engine/core/pngFrameSink.h"
#include "engine/core/stringConversion.h"
#include "engine/core/videoFrameSink.h"
#include "engine/gfx/node.h"
#include "engine/platform/messageBox.h"
#include "engine/wrapper/wrapper.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

using namespace kovra::test;
namespace core = engine::core;
namespace fs = std::filesystem;

namespace {

constexpr double kFrom = 0.5;
constexpr double kRate = 30.0;

// Paints frame k, by its show time, in a red of k * 20 and records the clock.
class TimeScene : public core::Module {
public:
    TimeScene() {
        Name(L"TestScene1");
        Priority(200);
    }
    void Start() override { engine::SetRootNode(engine::CreateNode(nullptr)); }
    void Update() override {
        times.push_back(engine::GetTime());
        steps.push_back(engine::GetSinceLast());
        const long k = std::lround(engine::GetTime() * kRate);
        engine::SetClearColor(0xFF000040u | static_cast<std::uint32_t>(k * 20 % 256) << 16);
        // The show's own end would wait on the wall clock.
        if (times.size() == 50)
            engine::QuitApplication();
    }
    void Kill() override {}

    std::vector<double> times;
    std::vector<double> steps;
};

class FrameCaptureTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        mPrevious = engine::platform::SetMessageBoxHandler(
            [this](const engine::platform::MessageBoxRequest& r) { boxes.push_back(r); });
    }
    void TearDown() override { engine::platform::SetMessageBoxHandler(mPrevious); }

    void Run(const engine::CaptureSettings& settings, TimeScene& scene) {
        engine::SetCapture(settings);
        engine::CreateKOVRAWindow(engine::WindowSettings{});
        engine::AddModule(&scene, 10100);
        engine::StartApplication();
    }

    LogCapture log;
    std::vector<engine::platform::MessageBoxRequest> boxes;

private:
    engine::platform::MessageBoxHandler mPrevious;
};

TEST_F(FrameCaptureTest, WritesEachFrameAtItsStepUntilTheEnd) {
    engine::CaptureSettings settings;
    settings.directory = "out";
    settings.width = 64;
    settings.height = 36;
    settings.from = kFrom;
    settings.to = kFrom + 9.5 / kRate; // frames 15 to 24
    settings.output = engine::CaptureSettings::Output::Png;
    fs::create_directories("out");
    // An earlier run's frame in the range is replaced; one past the range
    // may belong to the next segment and stays.
    WriteFile("out/frame_000024.png", "from an earlier capture");
    WriteFile("out/frame_000025.png", "from the next segment");
    TimeScene scene;
    Run(settings, scene);

    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(engine::Capturing());
    // The show moves from 0 through frames 0 to 14 without drawing them;
    // frame 25 reaches the end: it is drawn but not written.
    ASSERT_EQ(scene.times.size(), 26u);
    EXPECT_EQ(scene.steps[0], 0.0);
    for (int k = 0; k < 26; ++k) {
        EXPECT_EQ(scene.times[k], k / kRate) << k;
        if (k > 0) {
            EXPECT_NEAR(scene.steps[k], 1 / kRate, 1e-12) << k;
        }
    }
    int files = 0;
    for (const auto& entry : fs::directory_iterator("out"))
        files += entry.path().extension() == ".png";
    EXPECT_EQ(files, 11);
    EXPECT_EQ(ReadFile("out/frame_000025.png"), "from the next segment");
    for (int k = 15; k < 25; ++k) {
        const std::string path = "out/" + core::PngFrameSink::FileName(k);
        int width = 0, height = 0, channels = 0;
        stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
        ASSERT_NE(pixels, nullptr) << path;
        EXPECT_EQ(width, 64);
        EXPECT_EQ(height, 36);
        EXPECT_EQ(channels, 3);
        // Every pixel is the clear colour of frame k's show time.
        int wrong = 0;
        for (int i = 0; i < width * height; ++i)
            wrong += pixels[i * 3] != k * 20 % 256 || pixels[i * 3 + 1] != 0 ||
                     pixels[i * 3 + 2] != 0x40;
        EXPECT_EQ(wrong, 0) << path;
        stbi_image_free(pixels);
    }
    const std::string rows = log.Rows();
    EXPECT_NE(rows.find("Capturing 64x36 at 30 frames per second from 0.5 s to 0.816667 s into "
                        "out/frame_NNNNNN.png"),
              std::string::npos)
        << rows;
    EXPECT_NE(rows.find("Captured 10 frames to out/frame_NNNNNN.png"), std::string::npos);
}

TEST_F(FrameCaptureTest, BadSettingsAreRefusedAndLeaveNoCapture) {
    WriteFile("file", "");
    const std::pair<void (*)(engine::CaptureSettings&), std::wstring> cases[] = {
        {[](auto& s) { s.directory.clear(); }, L"Capture folder not given"},
        {[](auto& s) { s.rate = 0.0; },
         L"Capture rate must be above 0 and at most 1000 frames per second"},
        {[](auto& s) { s.rate = NAN; },
         L"Capture rate must be above 0 and at most 1000 frames per second"},
        {[](auto& s) { s.height = 0; }, L"Capture size must be from 1x1 to 16384x16384"},
        {[](auto& s) { s.width = 16385; }, L"Capture size must be from 1x1 to 16384x16384"},
        {[](auto& s) { s.from = -0.1; }, L"Capture start must be a time of 0 s or later"},
        {[](auto& s) { s.to = s.from; }, L"Capture end must be after its start"},
        {[](auto& s) { s.from = 0.01, s.to = 0.02; },
         L"Capture range holds no frame at 30 frames per second"},
        {[](auto& s) { s.firstFrame = 5, s.endFrame = 5; },
         L"Capture range holds no frame at 30 frames per second"},
        {[](auto& s) { s.firstFrame = std::int64_t{1} << 40; },
         L"Capture start must be at most frame 2147483646"},
        {[](auto& s) { s.directory = "file/frames"; },
         L"Could not create capture folder file/frames"},
    };
    for (const auto& [spoil, text] : cases) {
        engine::CaptureSettings settings;
        settings.directory = "out";
        spoil(settings);
        try {
            engine::SetCapture(settings);
            ADD_FAILURE() << "accepted: " << engine::core::Narrow(text);
        } catch (const core::Exception& e) {
            EXPECT_EQ(e.GetText(), text);
        }
        EXPECT_FALSE(engine::Capturing());
    }
}

TEST_F(FrameCaptureTest, AFailingEncoderStopsTheRunAndFailsIt) {
    engine::CaptureSettings settings;
    settings.directory = "out";
    settings.width = 32;
    settings.height = 16;
    settings.output = engine::CaptureSettings::Output::Png;
    TimeScene scene;
    engine::SetCapture(settings);
    fs::remove_all("out"); // frames have nowhere to go
    engine::CreateKOVRAWindow(engine::WindowSettings{});
    engine::AddModule(&scene, 10100);
    try {
        engine::StartApplication();
        ADD_FAILURE() << "the failed capture passed for a good one";
    } catch (const core::Exception& e) {
        EXPECT_EQ(e.GetText(), L"Capture failed: Could not write out/frame_000000.png");
    }
    // Stopped as soon as the failure was seen, not at the scene's own end.
    EXPECT_LT(scene.times.size(), 50u);
    EXPECT_FALSE(engine::Capturing());
}

TEST(PngFrameSink, ReportsTheEarliestFrameThatFailedWhicheverWorkerSawItFirst) {
    // Four workers race on frames queued with falling indices: the failure
    // reported must be the lowest index, not the first one to finish.
    for (int round = 0; round < 20; ++round) {
        core::PngFrameSink sink("no/such/folder", 4);
        for (int index : {9, 7, 5, 3}) {
            core::CapturedFrame frame = sink.Queue().Acquire();
            frame.index = index;
            frame.width = 64;
            frame.height = 64;
            frame.rgba.assign(64 * 64 * 4, 0);
            sink.Queue().Push(std::move(frame));
        }
        ASSERT_EQ(sink.Close(), "Could not write no/such/folder/frame_000003.png");
    }
}

TEST(CaptureProgress, LineNamesFrameTimeSpeedAndWhatIsLeft) {
    EXPECT_EQ(core::CaptureProgress::Line(120, 4.0, 31.26, 83.4),
              "frame 120  show time 4.000 s  31.3 fps  1:23 left");
    EXPECT_EQ(core::CaptureProgress::Line(7, 0.2, 0.0, -1.0),
              "frame 7  show time 0.200 s  0.0 fps");
}

TEST(VideoFrameSink, FeedsFfmpegRawFramesAndTheMusicFromTheStart) {
    using Sink = core::VideoFrameSink;
    const std::vector<std::string> silent = {"ffmpeg",
                                             "-hide_banner",
                                             "-loglevel",
                                             "error",
                                             "-y",
                                             "-f",
                                             "rawvideo",
                                             "-pix_fmt",
                                             "rgba",
                                             "-s",
                                             "64x36",
                                             "-framerate",
                                             "29.97",
                                             "-i",
                                             "pipe:0",
                                             "-map",
                                             "0:v",
                                             "-vf",
                                             "pad=ceil(iw/2)*2:ceil(ih/2)*2",
                                             "-c:v",
                                             "libx264",
                                             "-preset",
                                             "fast",
                                             "-crf",
                                             "18",
                                             "-pix_fmt",
                                             "yuv420p",
                                             "-movflags",
                                             "+faststart",
                                             "-f",
                                             "mp4",
                                             "out/show.mp4"};
    EXPECT_EQ(Sink::Arguments("ffmpeg", 64, 36, 29.97, "", 2.0, "out/show.mp4"), silent);
    const std::vector<std::string> scored =
        Sink::Arguments("ffmpeg", 64, 36, 29.97, "music.mp3", 2.5, "out/show.mp4");
    const std::vector<std::string> music = {"-ss",       "2.5",  "-i",  "music.mp3", "-map",
                                            "0:v",       "-map", "1:a", "-af",       "apad",
                                            "-shortest", "-c:a", "aac", "-b:a",      "192k"};
    ASSERT_EQ(scored.size(), silent.size() + music.size() - 2);
    EXPECT_TRUE(std::equal(music.begin(), music.end(), scored.begin() + 15));
}

TEST(VideoFrameSink, AnEncoderThatQuitsIsReportedNotFatal) {
    std::string error;
    // "false" ignores its arguments and exits at once with status 1.
    auto sink = core::VideoFrameSink::Start("false", 512, 512, 30, "", 0, "x.mp4", error);
    ASSERT_NE(sink, nullptr) << error;
    for (int k = 0; k < 8; ++k) {
        core::CapturedFrame frame = sink->Queue().Acquire();
        frame.width = frame.height = 512;
        frame.rgba.assign(512 * 512 * 4, 0);
        sink->Queue().Push(std::move(frame));
    }
    EXPECT_EQ(sink->Close(), "ffmpeg failed with exit status 1");
    EXPECT_EQ(core::VideoFrameSink::Start("no-such-encoder-here", 8, 8, 30, "", 0, "x.mp4", error),
              nullptr);
    EXPECT_EQ(error, "No such file or directory");
}

} // namespace
