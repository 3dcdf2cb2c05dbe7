#include "engine/gfx/animationPipe.h"

#include "engine/math/matrix3x3.h"
#include "engine/math/matrixHelpers.h"

namespace engine::gfx {

AnimationPipe::AnimationPipe(std::int32_t id, std::unique_ptr<AnimationTrack> track)
    : mId(id), mTrack(std::move(track)) {}

AnimationPipe::~AnimationPipe() {}

void AnimationPipe::ApplyToPose(Pose&) const {}

void AnimationPipe::ApplyToTransformation(float&, Transformation&) {}

AnimationVectorPipe::AnimationVectorPipe(std::int32_t id, std::unique_ptr<AnimationTrack> track,
                                         const math::Vector3f& axis)
    : AnimationPipe(id, std::move(track)), mAxis(axis) {}

void LocPipe::ApplyToPose(Pose& pose) const {
    pose.location += GetAxis() * GetTrack().GetValue();
}

void LocPipe::ApplyToTransformation(float&, Transformation& t) {
    t.Translate(t.Translate() + GetAxis() * GetTrack().GetValue());
}

void RotPipe::ApplyToTransformation(float&, Transformation& t) {
    // Tens of degrees to radians, with the constants the curves were made for.
    const float radians = GetTrack().GetValue() * 31.415928f * (1.0f / 180.0f);
    t.Rotate(t.Rotate() * math::MatrixRotationAxis(GetAxis(), radians).GetRotation());
}

void ScalePipe::ApplyToTransformation(float&, Transformation& t) {
    const float value = GetTrack().GetValue();
    const math::Vector3f& axis = GetAxis();
    if (axis.x > 0.0f)
        t.Rotate(t.Rotate() * math::MatrixScaling(axis.x * value, 1.0f, 1.0f).GetRotation());
    if (axis.y > 0.0f)
        t.Rotate(t.Rotate() * math::MatrixScaling(1.0f, axis.y * value, 1.0f).GetRotation());
    if (axis.z > 0.0f)
        t.Rotate(t.Rotate() * math::MatrixScaling(1.0f, 1.0f, axis.z * value).GetRotation());
}

QuatPipe::QuatPipe(std::int32_t id, std::unique_ptr<AnimationTrack> track,
                   const math::Vector4f& axis)
    : AnimationPipe(id, std::move(track)), mAxis(axis) {}

void QuatPipe::ApplyToPose(Pose& pose) const {
    pose.rotation += mAxis * GetTrack().GetValue();
}

TimePipe::TimePipe(std::int32_t id, std::unique_ptr<AnimationTrack> track)
    : AnimationPipe(id, std::move(track)), mLastTime(0.0f) {}

void TimePipe::ApplyToTransformation(float& timeDelta, Transformation&) {
    const float frames = GetTrack().GetValue() * 25.0f;
    timeDelta = frames - mLastTime;
    mLastTime = frames;
}

} // namespace engine::gfx
