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

private:
    double mBase;
    double mRate;
    std::int64_t mSteps = 0;
    bool mPlaying = false;
};

} // namespace engine::core
