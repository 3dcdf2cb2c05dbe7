#include "engine/core/steppedClock.h"

#include <algorithm>

namespace engine::core {

SteppedClock::SteppedClock(double base, double rate) : mBase(base), mRate(rate) {}

double SteppedClock::Position() {
    return mBase + static_cast<double>(mSteps) / mRate;
}

void SteppedClock::SetPosition(double seconds) {
    mBase = std::max(seconds, 0.0);
    mSteps = 0;
}

void SteppedClock::Step() {
    if (mPlaying)
        ++mSteps;
}

} // namespace engine::core
