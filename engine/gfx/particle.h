#pragma once

#include "engine/math/vector3f.h"
#include "engine/math/vector4f.h"

namespace engine::gfx {

// One billboard of an Emitter's ring.
struct Particle {
    math::Vector3f position;
    math::Vector3f velocity;
    math::Vector3f acceleration;
    math::Vector4f color;
    math::Vector4f colorVelocity;
    float rotation = 0.0f;
    float spin = 0.0f;
    float size = 0.0f;        // drawn
    float growingSize = 0.0f; // grows by the growth rate
    float age = 0.0f;
};

// One quad of a CurveEmitter's ribbon: its corners stay where they were
// spawned, only the colour changes.
struct CurveParticle {
    math::Vector3f corners[4];
    math::Vector4f color;
    math::Vector4f colorVelocity;
};

} // namespace engine::gfx
