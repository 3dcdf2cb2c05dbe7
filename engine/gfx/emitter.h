#pragma once

#include "engine/gfx/emitterInfo.h"
#include "engine/gfx/particle.h"
#include "engine/gfx/particleEngine.h"
#include "engine/gfx/particleRing.h"
#include "engine/gfx/spatial.h"
#include "engine/gfx/spawnClock.h"

#include <memory>

namespace engine::gfx {

class Node;

// A scene leaf that keeps a ring of billboard particles born at its parent
// node's position. Every frame it spawns, moves and recolours them, writes
// them into its vertex buffer facing the viewer and submits one draw.
// Particle positions lie in the parent's parent space, where the parent's
// own position does.
class Emitter : public Spatial {
public:
    // Vertex layout: position, corner coordinates (0 or 1 each), colour.
    static constexpr int kVertexSize = 36;

    Emitter(Node* parent, const EmitterInfo& info);
    ~Emitter() override;

    // Advances by the timer's time since the last frame, then draws.
    void Update(RenderQueue& queue) override;
    // Spawns what the clock holds at the interval, then moves every live
    // particle by dt seconds.
    virtual void Advance(float dt);

    int Capacity() const { return mRing.Capacity(); }
    int Count() const { return mRing.Count(); }
    int Start() const { return mRing.Start(); }
    // The i-th live particle, oldest first.
    const Particle& LiveParticle(int i) const { return mRing[i]; }
    float SpawnClockTime() const { return mClock.Time(); }
    platform::VertexBuffer* GetVertexBuffer() const { return mBuffers.vertices.get(); }
    platform::IndexBuffer* GetIndexBuffer() const { return mBuffers.indices.get(); }
    platform::VertexDeclaration* GetVertexDeclaration() const { return mBuffers.declaration.get(); }

protected:
    virtual void AdvanceParticle(Particle& particle, float dt);
    // Initialises the slot after the newest particle; a full ring loses its
    // oldest.
    virtual void Spawn();
    // A new particle at the parent's position.
    virtual void InitParticle(Particle& particle);

    // The parent's local matrix; identity without a parent.
    math::Matrix4x4 ParentLocal() const;
    // Random spreads of velocity, spin and colour velocity.
    void Scatter(Particle& particle) const;

private:
    void WriteVertices(const math::Matrix4x4& world, void* memory) const;

    EmitterInfo mInfo;
    Particle mTemplate;
    ParticleRing<Particle> mRing;
    SpawnClock mClock;
    ParticleBuffers mBuffers;
};

} // namespace engine::gfx
