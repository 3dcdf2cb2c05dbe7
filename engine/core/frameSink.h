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
    // The first failure so far; empty while all is well.
    std::string Failure() const;

protected:
    void Fail(const std::string& text);

    FrameQueue mQueue;

private:
    mutable std::mutex mMutex;
    std::string mFailure;
};

} // namespace engine::core
