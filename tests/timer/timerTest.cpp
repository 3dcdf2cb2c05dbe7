#include "scriptedMusic.h"

#include "engine/core/exception.h"
#include "engine/core/kernel.h"
#include "engine/core/log.h"
#include "engine/core/timer.h"
#include "engine/platform/messageBox.h"
#include "engine/wrapper/wrapper.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using engine::core::Exception;
using engine::core::Kernel;
using engine::core::Logging;
using engine::core::Timer;
namespace platform = engine::platform;

std::string ReadLog() {
    std::ifstream in("data/log.html", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class TimerTest : public ::testing::Test {
protected:
    // Each test works in a folder of its own: ctest runs tests side by side
    // and they all write data/log.html.
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        mOuter = std::filesystem::current_path();
        const auto folder = mOuter / (std::string(test->test_suite_name()) + "." + test->name());
        std::filesystem::create_directories(folder / "data");
        std::filesystem::current_path(folder);
        std::filesystem::remove("data/Vantor-Kelmsong.mp3");
        delete Logging::mInstance; // a fresh log per test
        Logging::Get();
    }
    void TearDown() override {
        delete Timer::mInstance;
        delete Kernel::mInstance;
        platform::SetMusicOpener({});
        platform::SetMessageBoxHandler({});
        std::filesystem::current_path(mOuter);
    }

    std::filesystem::path mOuter;

    // Routes the timer's music to a scripted stream.
    std::shared_ptr<MusicScript> Script() {
        auto script = std::make_shared<MusicScript>();
        platform::SetMusicOpener([script](const std::string& path) {
            script->openedPath = path;
            return std::make_unique<ScriptedMusic>(script);
        });
        return script;
    }

    // Sets the stream's position and runs one pass of the timer.
    void Pass(MusicScript& script, double position) {
        script.position = position;
        Timer::Get()->Update();
    }
};

TEST_F(TimerTest, IsAModuleNamedTimerAtPriorityTen) {
    EXPECT_EQ(Timer::Get()->Name(), L"Timer");
    EXPECT_EQ(Timer::Get()->Priority(), 10);
    EXPECT_FALSE(Timer::Get()->Paused());
}

TEST_F(TimerTest, ReadsZeroBeforeItIsStarted) {
    Timer* timer = Timer::Get();
    timer->Update();
    EXPECT_EQ(timer->GetTime(), 0.0);
    EXPECT_EQ(timer->GetSinceLast(), 0.0);
}

TEST_F(TimerTest, StartPlaysTheShowsTrack) {
    auto script = Script();
    Timer::Get()->Start();
    EXPECT_EQ(script->openedPath, "data/Vantor-Kelmsong.mp3");
    EXPECT_TRUE(script->playing);
    Timer::Get()->Kill();

    // A show of the player's names its own.
    engine::SetMusicFile("data/own.mp3");
    Timer::Get()->Start();
    engine::SetMusicFile(engine::core::kDefaultMusicPath);
    EXPECT_EQ(script->openedPath, "data/own.mp3");
}

TEST_F(TimerTest, TimeIsThePositionAndSinceLastItsAdvance) {
    auto script = Script();
    Timer* timer = Timer::Get();
    timer->Start();
    Pass(*script, 1.0);
    EXPECT_EQ(timer->GetTime(), 1.0);
    EXPECT_EQ(timer->GetSinceLast(), 1.0);
    Pass(*script, 1.25);
    EXPECT_EQ(timer->GetTime(), 1.25);
    EXPECT_EQ(timer->GetSinceLast(), 0.25);
    Pass(*script, 1.25); // two passes within one audio update
    EXPECT_EQ(timer->GetSinceLast(), 0.0);
}

TEST_F(TimerTest, PauseHoldsTimeAndResumeMeasuresFromThePausedPosition) {
    auto script = Script();
    Timer* timer = Timer::Get();
    timer->Start();
    Pass(*script, 2.0);
    Pass(*script, 2.5);
    script->position = 2.75; // played on a little before the pause took hold
    timer->Pause();
    EXPECT_TRUE(timer->Paused());
    EXPECT_FALSE(script->playing);
    EXPECT_EQ(timer->GetSinceLast(), 0.0);
    timer->Update();
    EXPECT_EQ(timer->GetTime(), 2.75);
    for (int i = 0; i < 3; ++i) {
        timer->Update();
        EXPECT_EQ(timer->GetTime(), 2.75);
        EXPECT_EQ(timer->GetSinceLast(), 0.0);
    }
    timer->Resume();
    EXPECT_FALSE(timer->Paused());
    EXPECT_TRUE(script->playing);
    EXPECT_EQ(timer->GetTime(), 2.75);
    EXPECT_EQ(timer->GetSinceLast(), 0.0);
    Pass(*script, 2.8);
    EXPECT_NEAR(timer->GetSinceLast(), 0.05, 1e-12);
}

TEST_F(TimerTest, ResumeRightAfterPauseLeavesSinceLastAtZero) {
    auto script = Script();
    Timer* timer = Timer::Get();
    timer->Start();
    Pass(*script, 1.0);
    script->position = 1.5;
    timer->Pause();
    timer->Resume();
    EXPECT_EQ(timer->GetTime(), 1.5);
    EXPECT_EQ(timer->GetSinceLast(), 0.0);
}

TEST_F(TimerTest, ResumeWithoutPauseDoesNothing) {
    auto script = Script();
    Timer* timer = Timer::Get();
    timer->Start();
    Pass(*script, 1.0);
    script->position = 3.0;
    timer->Resume();
    EXPECT_EQ(script->plays, 1);
    EXPECT_EQ(timer->GetTime(), 1.0);
    EXPECT_EQ(timer->GetSinceLast(), 1.0);
}

TEST_F(TimerTest, SeekMovesTheMusicFromTheCurrentTime) {
    auto script = Script();
    Timer* timer = Timer::Get();
    timer->Start();
    Pass(*script, 10.0);
    script->position = 10.02; // the music plays on between the pass and the seek
    timer->Seek(0.5);
    ASSERT_EQ(script->seeks.size(), 1u);
    EXPECT_EQ(script->seeks[0], static_cast<double>(10.5f));
    EXPECT_EQ(timer->GetTime(), 10.0); // time follows at the next pass
    timer->Update();
    EXPECT_NEAR(timer->GetSinceLast(), 0.5, 1e-6);

    timer->Seek(-4.0);
    timer->Update();
    EXPECT_NEAR(timer->GetTime(), 6.5, 1e-6);
    EXPECT_NEAR(timer->GetSinceLast(), -4.0, 1e-6);
}

TEST_F(TimerTest, KillStopsTheMusic) {
    auto script = Script();
    Timer::Get()->Start();
    Timer::Get()->Kill();
    EXPECT_TRUE(script->stopped);
}

// A missing or unreadable track is reported, the kernel contains the
// failure, and time runs on a silent clock so the show still plays and ends.
void ExpectMusicFailure() {
    std::vector<platform::MessageBoxRequest> boxes;
    platform::SetMessageBoxHandler(
        [&boxes](const platform::MessageBoxRequest& box) { boxes.push_back(box); });
    try {
        Timer::Get()->Start();
        FAIL() << "Start must throw";
    } catch (const Exception& e) {
        EXPECT_EQ(e.GetText(), L"Failed to load music file. Sorry.");
        EXPECT_EQ(e.GetFunction(), L".\\timer.cpp:36");
    }
    EXPECT_NE(ReadLog().find("<tr class=\"error\"><td>ERROR</td><td>36</td><td>.\\timer.cpp</"
                             "td><td>Failed to load music file. Sorry.</td></tr>\r\n"),
              std::string::npos);

    delete Timer::mInstance;
    Kernel::Get()->AddModule(Timer::Get(), 7);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Failed to load music file. Sorry.");
    EXPECT_NE(ReadLog().find("<td>89</td><td>.\\kernel.cpp</td><td>Failed to start moduleTimer<"),
              std::string::npos);

    Timer* timer = Timer::Get();
    timer->Update();
    const double first = timer->GetTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    timer->Update();
    EXPECT_GE(timer->GetTime() - first, 0.02);
    EXPECT_GE(timer->GetSinceLast(), 0.02);
}

TEST_F(TimerTest, MissingMusicIsAnErrorAndTimeStillRuns) {
    ExpectMusicFailure();
}

TEST_F(TimerTest, CorruptMusicIsAnErrorAndTimeStillRuns) {
    std::ofstream("data/Vantor-Kelmsong.mp3") << "<html>not a track</html>\n";
    ExpectMusicFailure();
}

TEST_F(TimerTest, SilentClockPausesWithTheTimer) {
    ExpectMusicFailure();
    Timer* timer = Timer::Get();
    timer->Pause();
    timer->Update();
    const double held = timer->GetTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    timer->Update();
    EXPECT_EQ(timer->GetTime(), held);
    timer->Resume();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    timer->Update();
    EXPECT_GE(timer->GetTime() - held, 0.02);
}

} // namespace
