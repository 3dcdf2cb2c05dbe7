// The fixed-step clock of an offline capture and the timer that runs on it.
#include "engine/core/frameCapture.h"
#include "engine/core/steppedClock.h"
#include "engine/core/timer.h"
#include "engine/platform/musicStream.h"
#include "engine/wrapper/wrapper.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

using namespace kovra::test;
namespace core = engine::core;

namespace {

TEST(SteppedClock, StepsByWholeFramesFromItsBaseOnlyWhilePlaying) {
    core::SteppedClock clock(2.5, 30.0);
    EXPECT_EQ(clock.Position(), 2.5);
    clock.Step(); // not playing yet
    EXPECT_EQ(clock.Position(), 2.5);
    clock.Play();
    for (int k = 1; k <= 100; ++k) {
        clock.Step();
        ASSERT_EQ(clock.Position(), 2.5 + k / 30.0) << k; // computed, not summed
    }
    clock.Pause();
    clock.Step();
    EXPECT_EQ(clock.Position(), 2.5 + 100 / 30.0);
    clock.SetPosition(-4.0);
    EXPECT_EQ(clock.Position(), 0.0);
    clock.Play();
    clock.Step();
    EXPECT_EQ(clock.Position(), 1 / 30.0);
}

TEST(CaptureTimer, ACaptureWithoutAnEndStopsAtTheShowsLength) {
    LogCapture log;
    engine::CaptureSettings settings;
    settings.directory = "frames";
    engine::SetShowLength(3.5);
    // An end of its own wins.
    for (const auto& [to, end] :
         {std::pair{std::numeric_limits<double>::infinity(), 3.5}, std::pair{2.0, 2.0}}) {
        settings.to = to;
        engine::SetCapture(settings);
        EXPECT_EQ(core::FrameCapture::Get()->Settings().to, end);
        delete core::FrameCapture::mInstance;
    }
    engine::SetShowLength(std::numeric_limits<double>::infinity());
    EXPECT_NE(log.Rows().find("from 0 s to 3.5 s into frames"), std::string::npos);
}

TEST(CaptureTimer, RunsOnTheSteppedClockAndNeverOpensTheMusic) {
    LogCapture log;
    int opened = 0;
    auto previous = engine::platform::SetMusicOpener([&](const std::string&) {
        ++opened;
        return engine::platform::CreateSilentMusic();
    });
    engine::CaptureSettings settings;
    settings.directory = "frames";
    settings.from = 1.25;
    settings.rate = 24.0;
    engine::SetCapture(settings);
    {
        core::Timer timer;
        timer.Start();
        std::vector<double> times, steps;
        for (int pass = 0; pass < 5; ++pass) {
            timer.Update();
            times.push_back(timer.GetTime());
            steps.push_back(timer.GetSinceLast());
        }
        // The first pass jumps from 0 to the start, as a seek would.
        EXPECT_EQ(steps[0], 1.25);
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(times[k], 1.25 + k / 24.0) << k;
            if (k > 0) {
                EXPECT_NEAR(steps[k], 1 / 24.0, 1e-12) << k;
            }
        }
        // A pause holds the time; resuming measures from where it stopped.
        timer.Pause();
        timer.Update();
        EXPECT_EQ(timer.GetTime(), 1.25 + 5 / 24.0);
        timer.Update();
        EXPECT_EQ(timer.GetSinceLast(), 0.0);
        timer.Resume();
        EXPECT_EQ(timer.GetSinceLast(), 0.0);
        timer.Update();
        EXPECT_EQ(timer.GetTime(), 1.25 + 5 / 24.0);
        timer.Kill();
    }
    EXPECT_EQ(opened, 0);
    delete core::FrameCapture::mInstance;
    engine::platform::SetMusicOpener(previous);
    EXPECT_NE(log.Rows().find("Capturing: time steps by one frame per pass, the music is not "
                              "played"),
              std::string::npos);
}

} // namespace
