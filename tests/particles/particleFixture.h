#pragma once

#include "support/logCapture.h"
#include "support/recordingQueue.h"

#include "engine/core/graphicsDevice.h"
#include "engine/core/timer.h"
#include "engine/gfx/emitterInfo.h"
#include "engine/gfx/node.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/platform/device.h"
#include "engine/platform/recordingDevice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace kovra::test {

// A log, a recording device and a scene of root -> parent, where emitters
// hang below the parent.
class ParticleTest : public ::testing::Test {
protected:
    ParticleTest() {
        engine::core::SetGraphicsDevice(&device);
        root->AddChild(parent);
    }
    ~ParticleTest() override {
        engine::core::SetGraphicsDevice(nullptr);
        delete engine::core::Timer::mInstance;
        delete engine::gfx::SceneInfo::mInstance;
    }

    // Nothing random and nothing spawned unless a test asks.
    static engine::gfx::EmitterInfo Still(int capacity, int initialCount, float interval) {
        engine::gfx::EmitterInfo info;
        info.velocity = {0, 0, 0};
        info.capacity = capacity;
        info.initialCount = initialCount;
        info.interval = interval;
        return info;
    }

    // The buffer's contents as values of T.
    template <typename T, typename Buffer> static std::vector<T> Contents(Buffer* buffer) {
        std::vector<T> values(buffer->Size() / sizeof(T));
        const void* memory = buffer->Lock(0, 0, engine::platform::LockReadOnly);
        EXPECT_NE(memory, nullptr);
        if (memory)
            std::memcpy(values.data(), memory, values.size() * sizeof(T));
        buffer->Unlock();
        return values;
    }

    LogCapture log;
    engine::platform::RecordingDevice device;
    std::shared_ptr<engine::gfx::Node> root = std::make_shared<engine::gfx::Node>(nullptr);
    std::shared_ptr<engine::gfx::Node> parent = std::make_shared<engine::gfx::Node>(root.get());
    RecordingQueue queue;
};

} // namespace kovra::test
