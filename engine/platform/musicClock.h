#pragma once

#include <chrono>

namespace engine::platform {

// A position in seconds that runs with the monotonic clock while playing.
// Used where no audio is heard: the silent stream, and the time after a
// track has ended.
class MusicClock {
public:
    using Clock = std::chrono::steady_clock;

    void Play(Clock::time_point now);
    void Pause(Clock::time_point now);
    double Position(Clock::time_point now) const;
    void SetPosition(double seconds, Clock::time_point now);
    bool Playing() const { return mPlaying; }

private:
    double mBase = 0.0;
    Clock::time_point mSince{};
    bool mPlaying = false;
};

} // namespace engine::platform
