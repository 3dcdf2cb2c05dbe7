#include "engine/gfx/spawnClock.h"

#include <cmath>

namespace engine::gfx {

namespace {

// Beyond this many spawns in one tick (a seek, a stalled frame) the count
// comes from a division: subtracting one interval at a time would take that
// long, and would never end once the clock is so large that subtracting the
// interval no longer changes it.
constexpr float kSubtractionLimit = 1024.0f;
constexpr double kMaxDue = 1e15;

} // namespace

std::int64_t SpawnClock::Tick(float dt, float interval) {
    mTime += dt;
    if (!std::isfinite(mTime)) {
        mTime = 0.0f;
        return 0;
    }
    if (!(interval > kMinInterval))
        return 0;
    std::int64_t due = 0;
    if (mTime / interval > kSubtractionLimit) {
        const double whole = std::floor(double(mTime) / interval);
        mTime = static_cast<float>(std::fmax(double(mTime) - whole * interval, 0.0));
        due = static_cast<std::int64_t>(std::fmin(whole, kMaxDue));
    }
    while (mTime >= interval) {
        mTime -= interval;
        ++due;
    }
    return due;
}

} // namespace engine::gfx
