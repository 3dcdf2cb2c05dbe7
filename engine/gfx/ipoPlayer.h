#pragma once

#include "engine/gfx/animationKey.h"

#include <cstdint>
#include <vector>

namespace engine::gfx {

// Time cursor over a track's keys. It moves the key index incrementally from
// where it stood, so steady playback costs constant time per frame. When not
// clamped it loops, counting the completed cycles.
class IPOPlayer {
public:
    explicit IPOPlayer(const std::vector<Key>* keys);
    virtual ~IPOPlayer();

    void Advance(float frames);
    void SetTime(float frame) { Advance(frame - mTime); }

    // Back to frame 1.0 on key 0 with no cycles.
    void Reset();
    void SetClamp(bool clamp) { mClamp = clamp; }
    void KeysChanged() { mKeyCount = static_cast<std::int32_t>(mKeys->size()); }

    std::int32_t GetIndex() const { return mIndex; }
    float GetFraction() const { return mFraction; }
    float GetTime() const { return mTime; }
    bool IsClamped() const { return mClamp; }
    std::int32_t GetCycles() const { return mCycles; }

private:
    void SkipWholeCycles();

    std::int32_t mIndex;
    float mFraction;
    float mTime;
    bool mClamp;
    std::int32_t mCycles;
    std::int32_t mKeyCount;
    const std::vector<Key>* mKeys;
};

} // namespace engine::gfx
