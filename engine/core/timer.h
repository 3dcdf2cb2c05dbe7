#pragma once

#include "engine/core/module.h"
#include "engine/core/singleton.h"
#include "engine/platform/musicStream.h"

#include <cstdint>
#include <memory>
#include <string>

namespace engine::core {

class SteppedClock;

inline constexpr const char* kDefaultMusicPath = "data/Vantor-Kelmsong.mp3";

// The music the timer plays and a video capture carries: kDefaultMusicPath
// unless a program names its own before the timer starts.
void SetMusicPath(std::string path);
const std::string& MusicPath();
// The show's length in seconds, where a capture without an end of its own
// stops; infinite (no end) unless a program gives one.
void SetShowLength(double seconds);
double ShowLength();

// The show's only clock: the playback position of the music. Once per pass
// the position becomes the current time and the time since the previous
// pass; pausing the music pauses time and seeking it moves time. During an
// offline capture a stepped clock stands in for the music.
class Timer : public Module, public pattern::Singleton<Timer> {
public:
    Timer();
    ~Timer() override;

    void Start() override;
    void Update() override;
    void Pause() override;
    bool Paused() const override { return mPaused; }
    void Resume() override;
    void Kill() override;

    // Moves the music by `seconds` from the current time (forward or back);
    // time follows at the next Update.
    void Seek(double seconds);

    double GetTime() const { return mTime; }
    double GetSinceLast() const { return mSinceLast; }
    // During a capture, the number of the frame the current time shows.
    std::int64_t Frame() const { return mFrame; }

private:
    // Turns the stream position into time and since last.
    void Read();
    // Without music the show still needs time: a silent clock stands in.
    void RunSilently();

    bool mPaused = false;
    double mLastPosition = 0.0;
    double mSinceLast = 0.0;
    double mTime = 0.0;
    std::int64_t mFrame = 0;
    std::unique_ptr<platform::MusicStream> mStream;
    SteppedClock* mStepped = nullptr; // mStream itself while capturing
};

class FPSCounter : public pattern::Singleton<FPSCounter> {};

} // namespace engine::core
