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

// A ribbon behind a moving node: each spawn leaves a square quad (edge: the
// info's size) where the parent is at that moment, lying in the parent's XZ
// plane, and consecutive quads are joined into one band. The newest quad
// follows the parent between spawns; older quads only change colour.
class CurveEmitter : public Spatial {
public:
    // Vertex layout: position, colour.
    static constexpr int kVertexSize = 28;

    CurveEmitter(Node* parent, const EmitterInfo& info);
    ~CurveEmitter() override;

    // Advances by the timer's time since the last frame, then draws.
    void Update(RenderQueue& queue) override;
    virtual void Advance(float dt);

    int Capacity() const { return mRing.Capacity(); }
    int Count() const { return mRing.Count(); }
    int Start() const { return mRing.Start(); }
    // The i-th live quad, oldest first.
    const CurveParticle& LiveParticle(int i) const { return mRing[i]; }
    float SpawnClockTime() const { return mClock.Time(); }
    platform::VertexBuffer* GetVertexBuffer() const { return mBuffers.vertices.get(); }
    platform::IndexBuffer* GetIndexBuffer() const { return mBuffers.indices.get(); }
    platform::VertexDeclaration* GetVertexDeclaration() const { return mBuffers.declaration.get(); }

protected:
    virtual void AdvanceParticle(CurveParticle& particle, float dt);
    virtual void Spawn();
    virtual void InitParticle(CurveParticle& particle);

private:
    // The quad where the parent is now.
    void PlaceCorners(math::Vector3f (&corners)[4]) const;

    EmitterInfo mInfo;
    CurveParticle mTemplate;
    ParticleRing<CurveParticle> mRing;
    SpawnClock mClock;
    float mWidth;
    float mLength;
    ParticleBuffers mBuffers;
};

} // namespace engine::gfx
