#pragma once

namespace engine::gfx {

// A random value in [-1, 0.998] in steps of 0.002 that scales the spreads of
// a new particle. One generator, seeded from the clock once, serves every
// emitter, so particles born in the same instant still differ.
float ParticleSpread();

} // namespace engine::gfx
