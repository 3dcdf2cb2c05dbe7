#pragma once

#include "engine/gfx/animationTrack.h"
#include "engine/gfx/pose.h"
#include "engine/gfx/transformation.h"
#include "engine/math/vector3f.h"
#include "engine/math/vector4f.h"

#include <cstdint>
#include <memory>

namespace engine::gfx {

// Routes the value of the track it owns into one channel of a bone pose or
// of a transformation. The base applies nothing.
class AnimationPipe {
public:
    AnimationPipe(std::int32_t id, std::unique_ptr<AnimationTrack> track);
    virtual ~AnimationPipe();

    virtual void ApplyToPose(Pose& pose) const;
    // timeDelta is written only by TimePipe.
    virtual void ApplyToTransformation(float& timeDelta, Transformation& t);

    std::int32_t GetId() const { return mId; }
    AnimationTrack& GetTrack() const { return *mTrack; }

private:
    std::int32_t mId;
    std::unique_ptr<AnimationTrack> mTrack;
};

class AnimationVectorPipe : public AnimationPipe {
public:
    AnimationVectorPipe(std::int32_t id, std::unique_ptr<AnimationTrack> track,
                        const math::Vector3f& axis);

    const math::Vector3f& GetAxis() const { return mAxis; }

private:
    math::Vector3f mAxis;
};

// Adds axis * value to the location or translation.
class LocPipe : public AnimationVectorPipe {
public:
    using AnimationVectorPipe::AnimationVectorPipe;
    void ApplyToPose(Pose& pose) const override;
    void ApplyToTransformation(float& timeDelta, Transformation& t) override;
};

// Turns the rotation about the axis by value tens of degrees (the curves
// store rotations that way).
class RotPipe : public AnimationVectorPipe {
public:
    using AnimationVectorPipe::AnimationVectorPipe;
    void ApplyToTransformation(float& timeDelta, Transformation& t) override;
};

// Scales the rotation along each positive axis component c by c * value.
class ScalePipe : public AnimationVectorPipe {
public:
    using AnimationVectorPipe::AnimationVectorPipe;
    void ApplyToTransformation(float& timeDelta, Transformation& t) override;
};

// Adds axis * value to the pose's quaternion, component by component.
class QuatPipe : public AnimationPipe {
public:
    QuatPipe(std::int32_t id, std::unique_ptr<AnimationTrack> track, const math::Vector4f& axis);
    void ApplyToPose(Pose& pose) const override;

    const math::Vector4f& GetAxis() const { return mAxis; }

private:
    math::Vector4f mAxis;
};

// Turns a curve of seconds into the frames that passed since it was last
// applied; the transformation is left alone.
class TimePipe : public AnimationPipe {
public:
    TimePipe(std::int32_t id, std::unique_ptr<AnimationTrack> track);
    void ApplyToTransformation(float& timeDelta, Transformation& t) override;

private:
    float mLastTime;
};

} // namespace engine::gfx
