#pragma once

#include "engine/gfx/animationPipe.h"
#include "engine/gfx/animationTrack.h"
#include "engine/gfx/pose.h"
#include "engine/gfx/transformation.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace engine::gfx {

// The curves of one bone or animated node: pipes, at most one per channel id
// and kept in id order, and named tracks whose values others read by name.
class AnimationController {
public:
    AnimationController();
    ~AnimationController();
    AnimationController(const AnimationController&) = delete;
    AnimationController& operator=(const AnimationController&) = delete;

    // Replaces (and deletes) a pipe with the same channel id.
    void AddPipe(std::unique_ptr<AnimationPipe> pipe);
    // The named value's address stays valid for the controller's lifetime,
    // however many tracks are added after it. A repeated name maps to the
    // newest track.
    void AddTrack(const std::string& name, std::unique_ptr<AnimationTrack> track);

    // Named tracks first (each refreshing its named value), then every
    // pipe's track.
    void Advance(float frames);
    // Sum of every pipe's pose contribution, from zero.
    Pose Evaluate() const;
    // Applies every pipe to t in channel-id order.
    void ApplyToTransformation(float& timeDelta, Transformation& t) const;
    // Every track back to frame 1.0 on key 0 with value 0.
    void Reset();

    // Null when no track has that name.
    const float* GetNamedValue(const std::string& name) const;
    const std::vector<std::unique_ptr<AnimationPipe>>& GetPipes() const { return mPipes; }
    float GetTime() const { return mTime; }

private:
    std::vector<std::unique_ptr<AnimationPipe>> mPipes;
    std::deque<float> mNamedValues;
    std::vector<std::unique_ptr<AnimationTrack>> mNamedTracks;
    std::map<std::string, float*> mNames;
    float mTime;
};

} // namespace engine::gfx
