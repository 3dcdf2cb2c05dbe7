#include "engine/core/frameQueue.h"

namespace engine::core {

CapturedFrame FrameQueue::Acquire() {
    std::lock_guard lock(mMutex);
    if (mSpare.empty())
        return {};
    CapturedFrame frame = std::move(mSpare.back());
    mSpare.pop_back();
    return frame;
}

void FrameQueue::Push(CapturedFrame frame) {
    std::unique_lock lock(mMutex);
    mChanged.wait(lock, [this] { return mFrames.size() < mCapacity; });
    mFrames.push_back(std::move(frame));
    mChanged.notify_all();
}

std::optional<CapturedFrame> FrameQueue::Pop() {
    std::unique_lock lock(mMutex);
    mChanged.wait(lock, [this] { return !mFrames.empty() || mClosed; });
    if (mFrames.empty())
        return std::nullopt;
    CapturedFrame frame = std::move(mFrames.front());
    mFrames.pop_front();
    mChanged.notify_all();
    return frame;
}

void FrameQueue::Recycle(CapturedFrame frame) {
    std::lock_guard lock(mMutex);
    if (mSpare.size() < mCapacity)
        mSpare.push_back(std::move(frame));
}

void FrameQueue::Close() {
    std::lock_guard lock(mMutex);
    mClosed = true;
    mChanged.notify_all();
}

} // namespace engine::core
