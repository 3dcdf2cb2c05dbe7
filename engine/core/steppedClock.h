#pragma once

#include "engine/platform/musicStream.h"

#include <cstdint>

namespace engine::core {

// The clock of an offline capture, standing in for the music: its position
// moves only when stepped, by exactly one frame, so that frame k of a run
// shows base + k / rate however long it took to draw.
class SteppedClock final : public platform::MusicStream {
public:
    SteppedClock(double base, double rate);

    void Play() override { mPlaying = true; }
    void Pause() override { mPlaying = false; }
    void Stop() override { mPlaying = false; }
    // Computed from the step count, not summed, so no rounding accumulates.
    double Position() override;
    // Moves the base; counting starts again from there.
    void SetPosition(double seconds) override;

    // Advances one frame unless paused.
    void Step();
    // Frames stepped since the base: the number of the frame now shown.
    std::int64_t Steps() const { return mSteps; }

private:
    double mBase;
    double mRate;
    std::int64_t mSteps = 0;
    bool mPlaying = false;
};

} // namespace engine::core

namespace engine::core {

// The first frame at or after `seconds` when frame k shows k / rate. A time
// that is a whole frame up to rounding (44 s at 30 frames per second) is
// that frame, so a range ending there and one starting there meet without
// a gap or an overlap. Times past any capture's reach give kNoFrame.
inline constexpr std::int64_t kNoFrame = std::int64_t{1} << 53;
std::int64_t FirstFrameAt(double seconds, double rate);

} // namespace engine::core
