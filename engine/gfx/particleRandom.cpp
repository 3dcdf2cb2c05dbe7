#include "engine/gfx/particleRandom.h"

#include <chrono>
#include <random>

namespace engine::gfx {

float ParticleSpread() {
    static std::minstd_rand generator(static_cast<std::minstd_rand::result_type>(
        std::chrono::steady_clock::now().time_since_epoch().count()));
    return static_cast<float>(static_cast<int>(generator() % 1000) - 500) * 0.002f;
}

} // namespace engine::gfx
