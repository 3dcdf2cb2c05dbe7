#include "engine/platform/musicClock.h"

namespace engine::platform {

void MusicClock::Play(Clock::time_point now) {
    if (mPlaying)
        return;
    mSince = now;
    mPlaying = true;
}

void MusicClock::Pause(Clock::time_point now) {
    if (!mPlaying)
        return;
    mBase = Position(now);
    mPlaying = false;
}

double MusicClock::Position(Clock::time_point now) const {
    if (!mPlaying)
        return mBase;
    return mBase + std::chrono::duration<double>(now - mSince).count();
}

void MusicClock::SetPosition(double seconds, Clock::time_point now) {
    mBase = seconds;
    mSince = now;
}

} // namespace engine::platform
