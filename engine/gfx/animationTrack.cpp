#include "engine/gfx/animationTrack.h"

namespace engine::gfx {

AnimationTrack::AnimationTrack()
    : mExtrapolation(Constant), mValue(0.0f), mKeys(), mPlayer(&mKeys) {}

AnimationTrack::~AnimationTrack() {}

void AnimationTrack::Advance(float frames) {
    mPlayer.Advance(frames);
    UpdateValue();
}

void AnimationTrack::SetTime(float frame) {
    mPlayer.SetTime(frame);
    UpdateValue();
}

void AnimationTrack::AddKey(float time, float value) {
    mKeys.push_back(Key{time, value});
    mPlayer.KeysChanged();
}

void AnimationTrack::SetExtrapolation(std::int32_t mode) {
    mExtrapolation = mode;
    mPlayer.SetClamp(mode == Constant);
}

void AnimationTrack::Reset() {
    mValue = 0.0f;
    mPlayer.Reset();
}

void AnimationTrack::UpdateValue() {
    const std::int32_t n = static_cast<std::int32_t>(mKeys.size());
    if (n == 0)
        return;
    const std::int32_t i = mPlayer.GetIndex();
    mValue = Interpolate(i, (i + 1) % n, mPlayer.GetFraction());
    if (mExtrapolation == CyclicExtrapolation)
        mValue += (mKeys[n - 1].value - mKeys[0].value) * static_cast<float>(mPlayer.GetCycles());
}

float ConstantAnimationTrack::Interpolate(std::int32_t i, std::int32_t, float) const {
    return GetKeys()[i].value;
}

float LinearAnimationTrack::Interpolate(std::int32_t i, std::int32_t j, float f) const {
    const std::vector<Key>& k = GetKeys();
    return (1.0f - f) * k[i].value + f * k[j].value;
}

void BezierAnimationTrack::AddKey(float time, float value, Handle left, Handle right) {
    AddKey(time, value);
    // Keys added without handles get them on the key itself, which keeps the
    // handle lists parallel to the keys.
    const std::vector<Key>& k = GetKeys();
    while (mLeftHandles.size() + 1 < k.size()) {
        const Key& bare = k[mLeftHandles.size()];
        mLeftHandles.push_back(Handle{bare.time, bare.value});
        mRightHandles.push_back(Handle{bare.time, bare.value});
    }
    mLeftHandles.push_back(left);
    mRightHandles.push_back(right);
}

float BezierAnimationTrack::Interpolate(std::int32_t i, std::int32_t j, float f) const {
    const std::vector<Key>& k = GetKeys();
    const float p0 = k[i].value;
    const float p3 = k[j].value;
    // Trailing keys added without handles have them on the key itself.
    const float p1 = static_cast<std::size_t>(i) < mRightHandles.size() ? mRightHandles[i].y : p0;
    const float p2 = static_cast<std::size_t>(j) < mLeftHandles.size() ? mLeftHandles[j].y : p3;
    return p0 + 3.0f * f * (p1 - p0) + 3.0f * f * f * (p0 - 2.0f * p1 + p2) +
           f * f * f * (p3 - p0 + 3.0f * (p1 - p2));
}

} // namespace engine::gfx
