#pragma once

#include <cstdint>

namespace engine::gfx {

// Time towards an emitter's next spawn. Each emitter keeps its own, so its
// rate does not depend on how many other emitters run.
class SpawnClock {
public:
    // Intervals at or below this never spawn.
    static constexpr float kMinInterval = 0.0001f;

    // Adds dt and returns how many spawns of `interval` the clock now holds,
    // taking them off it.
    std::int64_t Tick(float dt, float interval);
    float Time() const { return mTime; }

private:
    float mTime = 0.0f;
};

} // namespace engine::gfx
