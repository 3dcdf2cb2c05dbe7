// The fixed-step clock of an offline capture and the timer that runs on it.
#include "engine/core/exception.h"
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

// Adjacent ranges in seconds meet at one frame: a time on a frame up to
// rounding is that frame, one just past it the next.
TEST(SteppedClock, TheFirstFrameAtATimeIsTheFirstAtOrAfterIt) {
    const struct {
        double seconds, rate;
        std::int64_t frame;
    } cases[] = {
        {0.0, 30.0, 0}, {44.0, 30.0, 1320}, {0.1, 30.0, 3},    {45.3, 10.0, 453},
        {0.7, 10.0, 7}, {0.71, 10.0, 8},    {6.0, 1 / 6.0, 1}, {1e300, 30.0, core::kNoFrame}};
    for (const auto& c : cases)
        EXPECT_EQ(core::FirstFrameAt(c.seconds, c.rate), c.frame) << c.seconds << " " << c.rate;
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
    // A start the show never reaches is refused.
    settings.from = 3.5;
    settings.to = 5.0;
    try {
        engine::SetCapture(settings);
        ADD_FAILURE() << "a start at the show's end was accepted";
    } catch (const core::Exception& e) {
        EXPECT_EQ(e.GetText(), L"Capture start must be before the show's end at 3.5 s");
    }
    EXPECT_FALSE(engine::Capturing());
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
        // Time starts at 0 whatever the first frame: the frames before it
        // move the show as a whole run does; frame k shows k / rate.
        EXPECT_EQ(steps[0], 0.0);
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(times[k], k / 24.0) << k;
            if (k > 0) {
                EXPECT_NEAR(steps[k], 1 / 24.0, 1e-12) << k;
            }
        }
        // A pause holds the time; resuming measures from where it stopped.
        timer.Pause();
        timer.Update();
        EXPECT_EQ(timer.GetTime(), 5 / 24.0);
        EXPECT_EQ(timer.Frame(), 5);
        timer.Update();
        EXPECT_EQ(timer.GetSinceLast(), 0.0);
        timer.Resume();
        EXPECT_EQ(timer.GetSinceLast(), 0.0);
        timer.Update();
        EXPECT_EQ(timer.GetTime(), 5 / 24.0);
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
