#include "engine/gfx/animationController.h"

#include <algorithm>

namespace engine::gfx {

AnimationController::AnimationController() : mTime(0.0f) {}

AnimationController::~AnimationController() {}

void AnimationController::AddPipe(std::unique_ptr<AnimationPipe> pipe) {
    if (!pipe)
        return;
    const std::int32_t id = pipe->GetId();
    std::erase_if(mPipes,
                  [id](const std::unique_ptr<AnimationPipe>& p) { return p->GetId() == id; });
    mPipes.push_back(std::move(pipe));
    std::stable_sort(
        mPipes.begin(), mPipes.end(),
        [](const std::unique_ptr<AnimationPipe>& a, const std::unique_ptr<AnimationPipe>& b) {
            return a->GetId() < b->GetId();
        });
}

void AnimationController::AddTrack(const std::string& name, std::unique_ptr<AnimationTrack> track) {
    if (!track)
        return;
    mNamedTracks.push_back(std::move(track));
    mNamedValues.push_back(0.0f);
    mNames[name] = &mNamedValues.back();
}

void AnimationController::Advance(float frames) {
    mTime += frames;
    for (std::size_t i = 0; i < mNamedTracks.size(); ++i) {
        mNamedTracks[i]->Advance(frames);
        mNamedValues[i] = mNamedTracks[i]->GetValue();
    }
    for (const std::unique_ptr<AnimationPipe>& pipe : mPipes)
        pipe->GetTrack().Advance(frames);
}

Pose AnimationController::Evaluate() const {
    Pose pose;
    for (const std::unique_ptr<AnimationPipe>& pipe : mPipes)
        pipe->ApplyToPose(pose);
    return pose;
}

void AnimationController::ApplyToTransformation(float& timeDelta, Transformation& t) const {
    for (const std::unique_ptr<AnimationPipe>& pipe : mPipes)
        pipe->ApplyToTransformation(timeDelta, t);
}

void AnimationController::Reset() {
    for (const std::unique_ptr<AnimationTrack>& track : mNamedTracks)
        track->Reset();
    for (const std::unique_ptr<AnimationPipe>& pipe : mPipes)
        pipe->GetTrack().Reset();
}

const float* AnimationController::GetNamedValue(const std::string& name) const {
    const auto found = mNames.find(name);
    return found == mNames.end() ? nullptr : found->second;
}

} // namespace engine::gfx
