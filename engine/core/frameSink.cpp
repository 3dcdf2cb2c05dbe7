#include "engine/core/frameSink.h"

namespace engine::core {

std::string FrameSink::Failure() const {
    std::lock_guard lock(mMutex);
    return mFailure;
}

void FrameSink::Fail(const std::string& text) {
    std::lock_guard lock(mMutex);
    if (mFailure.empty())
        mFailure = text;
}

} // namespace engine::core
