#include "engine/gfx/ipoPlayer.h"

#include <cmath>
#include <limits>

namespace engine::gfx {

IPOPlayer::IPOPlayer(const std::vector<Key>* keys)
    : mIndex(0), mFraction(0.0f), mTime(1.0f), mClamp(false), mCycles(0),
      mKeyCount(static_cast<std::int32_t>(keys->size())), mKeys(keys) {}

IPOPlayer::~IPOPlayer() {}

void IPOPlayer::Reset() {
    mIndex = 0;
    mFraction = 0.0f;
    mTime = 1.0f;
    mCycles = 0;
}

void IPOPlayer::Advance(float frames) {
    const std::int32_t n = mKeyCount;
    if (n == 0) {
        mTime += frames;
        return;
    }
    const Key* k = mKeys->data();
    if (frames < 0.0f && mClamp && k[n - 1].time <= mTime) {
        mIndex = n - 1;
        mFraction = 0.0f;
        return;
    }
    mTime += frames;

    while (mIndex >= 1 && k[mIndex].time > mTime)
        --mIndex;

    // Looping needs a positive span between first and last key and a finite
    // time; otherwise (one key, unordered or broken keys) the cursor holds
    // like a clamped one so that the walk always ends.
    const float span = k[n - 1].time - k[0].time;
    const bool loops =
        !mClamp && n >= 2 && span > 0.0f && std::isfinite(span) && std::isfinite(mTime);
    if (loops)
        SkipWholeCycles();
    // After the skip at most three wraps remain, each followed by at most n
    // steps; the bound only matters for keys so close together that
    // subtracting their span rounds back to the same time.
    for (std::int64_t steps = 4 * static_cast<std::int64_t>(n) + 8; steps > 0; --steps) {
        const std::int32_t next = (mIndex + 1) % n;
        if (k[next].time >= mTime)
            break;
        if (mIndex + 1 == n) {
            if (mCycles < std::numeric_limits<std::int32_t>::max())
                ++mCycles;
            if (loops) {
                mIndex = -1;
                mTime -= span;
            }
        }
        mIndex = (mIndex + 1) % n;
        if (!loops && mIndex == n - 1)
            break;
    }

    const std::int32_t next = (mIndex + 1) % n;
    const float length = k[next].time - k[mIndex].time;
    mFraction = 0.0f;
    if (length > 0.0f) {
        const float f = (mTime - k[mIndex].time) / length;
        if (f > 0.0f)
            mFraction = f < 1.0f ? f : 1.0f;
    }
}

// A jump of many cycles at once (seeking, a long stall) removes the whole
// cycles in one step instead of walking them, which would take long and, far
// from the keys, never end in float arithmetic. One cycle is left to the
// ordinary walk so that small steps behave exactly as a single wrap.
void IPOPlayer::SkipWholeCycles() {
    const Key* k = mKeys->data();
    const double last = k[mKeyCount - 1].time;
    const double span = last - k[0].time;
    const double excess = static_cast<double>(mTime) - last;
    if (excess < 2.0 * span)
        return;
    const double rest = std::fmod(excess, span);
    const double skipped = std::round((excess - rest) / span) - 1.0;
    mTime = static_cast<float>(last + span + rest);
    const double cycles = mCycles + skipped;
    const double most = std::numeric_limits<std::int32_t>::max();
    mCycles = static_cast<std::int32_t>(cycles < most ? cycles : most);
}

} // namespace engine::gfx
