#include "engine/gfx/planeEmitter.h"

#include "engine/gfx/particleRandom.h"
#include "engine/math/matrixHelpers.h"

namespace engine::gfx {

PlaneEmitter::PlaneEmitter(Node* parent, const PlaneEmitterInfo& info)
    : Emitter(parent, info), mWidth(info.width), mDepth(info.depth) {}

PlaneEmitter::~PlaneEmitter() = default;

void PlaneEmitter::InitParticle(Particle& particle) {
    Emitter::InitParticle(particle);
    const math::Vector3f onPlane(mWidth * ParticleSpread(), 0.0f, mDepth * ParticleSpread());
    particle.position = math::TransformCoord(onPlane, ParentLocal());
}

} // namespace engine::gfx
