#pragma once

#include "engine/engineApi.h"
#include "engine/math/vector3f.h"
#include "engine/math/vector4f.h"

#include <memory>

namespace engine::gfx {

class Effect;

/// What a program tells the engine about a particle emitter. Rates are per
/// second; the spreads scale a random value in [-1, 1) drawn per particle and
/// component.
struct ENGINE_API EmitterInfo {
    math::Vector4f color{1.0f, 1.0f, 1.0f, 1.0f};
    math::Vector4f colorVelocitySpread;
    math::Vector4f colorVelocity;
    math::Vector3f velocity{0.0f, 1.0f, 0.0f};
    math::Vector3f velocitySpread;
    math::Vector3f acceleration;
    std::shared_ptr<Effect> effect;
    float size = 1.0f; ///< edge length of a particle
    float reserved = 0.0f;
    float growth = 0.0f;
    float spin = 0.0f; ///< radians per second
    float spinSpread = 0.0f;
    int capacity = 100;
    int initialCount = 100; ///< alive at creation
    float interval = 1.0f;  ///< seconds between spawns; 0.0001 or less: never
};

/// Particles are born on a rectangle in the parent's XZ plane, of half-extents
/// width along x and depth along z.
struct ENGINE_API PlaneEmitterInfo : EmitterInfo {
    float width = 0.0f;
    float depth = 0.0f;
};

} // namespace engine::gfx
