#include "engine/core/steppedClock.h"

#include <algorithm>
#include <cmath>

namespace engine::core {

SteppedClock::SteppedClock(double base, double rate) : mBase(base), mRate(rate) {}

double SteppedClock::Position() {
    return mBase + static_cast<double>(mSteps) / mRate;
}

void SteppedClock::SetPosition(double seconds) {
    mBase = std::max(seconds, 0.0);
    mSteps = 0;
}

std::int64_t FirstFrameAt(double seconds, double rate) {
    // A millionth of a frame absorbs the rounding of seconds x rate.
    constexpr double kTolerance = 1e-6;
    const double frame = std::ceil(seconds * rate - kTolerance);
    if (!(frame < static_cast<double>(kNoFrame)))
        return kNoFrame;
    return std::max<std::int64_t>(static_cast<std::int64_t>(frame), 0);
}

void SteppedClock::Step() {
    if (mPlaying)
        ++mSteps;
}

} // namespace engine::core
