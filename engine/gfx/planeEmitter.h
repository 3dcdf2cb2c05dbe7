#pragma once

#include "engine/gfx/emitter.h"

namespace engine::gfx {

// An Emitter whose spawned particles are born at random points of a
// rectangle in the parent's XZ plane, of half-extents width and depth.
class PlaneEmitter : public Emitter {
public:
    PlaneEmitter(Node* parent, const PlaneEmitterInfo& info);
    ~PlaneEmitter() override;

    float Width() const { return mWidth; }
    float Depth() const { return mDepth; }

protected:
    void InitParticle(Particle& particle) override;

private:
    float mWidth;
    float mDepth;
};

} // namespace engine::gfx
