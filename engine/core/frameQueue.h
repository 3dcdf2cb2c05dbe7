#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace engine::core {

// One presented frame on its way to the encoder: RGBA, top row first.
struct CapturedFrame {
    int index = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Hands frames from the render thread to encoder threads. It holds at most
// `capacity` frames, so an encoder that falls behind holds the renderer back
// instead of filling memory; spent pixel buffers come back for reuse.
class FrameQueue {
public:
    explicit FrameQueue(std::size_t capacity) : mCapacity(capacity) {}

    // An empty frame, with a recycled pixel buffer when one is spare.
    CapturedFrame Acquire();
    // Waits while the queue is full.
    void Push(CapturedFrame frame);
    // Waits for the next frame; none once the queue is closed and empty.
    std::optional<CapturedFrame> Pop();
    void Recycle(CapturedFrame frame);
    // No more frames will come; Pop drains what is left, then returns none.
    void Close();

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::deque<CapturedFrame> mFrames;
    std::vector<CapturedFrame> mSpare;
    std::size_t mCapacity;
    bool mClosed = false;
};

} // namespace engine::core
