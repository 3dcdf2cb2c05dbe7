#pragma once

#include "engine/core/frameQueue.h"

#include <mutex>
#include <string>

namespace engine::core {

// Where captured frames go: encoder threads take them from the queue.
class FrameSink {
public:
    explicit FrameSink(std::size_t capacity) : mQueue(capacity) {}
    virtual ~FrameSink() = default;
    FrameSink(const FrameSink&) = delete;
    FrameSink& operator=(const FrameSink&) = delete;

    FrameQueue& Queue() { return mQueue; }
    // Takes no more frames and waits until every queued one is written:
    // the first failure, empty when all went well.
    virtual std::string Close() = 0;
    // The failure of the earliest frame so far; empty while all is well.
    std::string Failure() const;

protected:
    // Workers finish out of order, so the failure reported is the one of the
    // lowest frame index, whichever thread saw its failure first.
    void Fail(const std::string& text, int frameIndex);
    // True once a frame before this one has failed: it need not be written.
    bool FailedBefore(int frameIndex) const;

    FrameQueue mQueue;

private:
    mutable std::mutex mMutex;
    std::string mFailure;
    int mFailedFrame = 0;
};

} // namespace engine::core
