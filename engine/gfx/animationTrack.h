#pragma once

#include "engine/gfx/animationKey.h"
#include "engine/gfx/ipoPlayer.h"

#include <cstdint>
#include <vector>

namespace engine::gfx {

// A keyframe curve with its own time cursor. Moving the cursor recomputes
// the current value, which pipes and named values read.
class AnimationTrack {
public:
    // Extrapolation modes; Constant holds the last key, the others loop.
    enum Extrapolation : std::int32_t { Constant = 0, Cyclic = 2, CyclicExtrapolation = 3 };

    AnimationTrack();
    virtual ~AnimationTrack();
    AnimationTrack(const AnimationTrack&) = delete;
    AnimationTrack& operator=(const AnimationTrack&) = delete;

    void Advance(float frames);
    void SetTime(float frame);

    void AddKey(float time, float value);
    void SetExtrapolation(std::int32_t mode);
    // Value 0, cursor at frame 1.0 on key 0.
    void Reset();

    float GetValue() const { return mValue; }
    std::int32_t GetExtrapolation() const { return mExtrapolation; }
    const IPOPlayer& GetPlayer() const { return mPlayer; }
    const std::vector<Key>& GetKeys() const { return mKeys; }

protected:
    // The curve between key i and key j = i + 1 (wrapping) at fraction f.
    virtual float Interpolate(std::int32_t i, std::int32_t j, float f) const = 0;

private:
    void UpdateValue();

    std::int32_t mExtrapolation;
    float mValue;
    // Before the player, which is built on it.
    std::vector<Key> mKeys;
    IPOPlayer mPlayer;
};

// Steps: the value of the key at or before the cursor.
class ConstantAnimationTrack : public AnimationTrack {
protected:
    float Interpolate(std::int32_t i, std::int32_t j, float f) const override;
};

class LinearAnimationTrack : public AnimationTrack {
protected:
    float Interpolate(std::int32_t i, std::int32_t j, float f) const override;
};

// Cubic Bezier through each pair of keys with the outgoing handle of the
// first and the incoming handle of the second. The time fraction is used as
// the curve parameter directly; the handles' x is not solved against time.
class BezierAnimationTrack : public AnimationTrack {
public:
    void AddKey(float time, float value, Handle left, Handle right);
    using AnimationTrack::AddKey;

protected:
    float Interpolate(std::int32_t i, std::int32_t j, float f) const override;

private:
    std::vector<Handle> mLeftHandles;
    std::vector<Handle> mRightHandles;
};

} // namespace engine::gfx
