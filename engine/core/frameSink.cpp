#include "engine/core/frameSink.h"

namespace engine::core {

std::string FrameSink::Failure() const {
    std::lock_guard lock(mMutex);
    return mFailure;
}

void FrameSink::Fail(const std::string& text, int frameIndex) {
    std::lock_guard lock(mMutex);
    if (mFailure.empty() || frameIndex < mFailedFrame) {
        mFailure = text;
        mFailedFrame = frameIndex;
    }
}

bool FrameSink::FailedBefore(int frameIndex) const {
    std::lock_guard lock(mMutex);
    return !mFailure.empty() && mFailedFrame < frameIndex;
}

} // namespace engine::core
