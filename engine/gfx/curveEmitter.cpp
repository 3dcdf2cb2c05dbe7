#include "engine/gfx/curveEmitter.h"

#include "engine/core/timer.h"
#include "engine/gfx/node.h"
#include "engine/gfx/particleEngine.h"
#include "engine/gfx/particleRandom.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/renderQueue.h"
#include "engine/math/matrixHelpers.h"
#include "engine/platform/device.h"

#include <algorithm>
#include <array>

namespace engine::gfx {

namespace {

// For quad i (first vertex 4i): the quad itself, then eight triangles that
// join its corners to those of quad i + 1. The newest quad draws only the
// first two, so no index past the live vertices is ever drawn.
constexpr std::array<std::uint8_t, 30> kRibbonPattern{0, 1, 2, 2, 3, 0, 2, 6, 3, 3, 6, 7, 1, 5, 6,
                                                      6, 2, 1, 1, 0, 5, 5, 0, 4, 4, 0, 7, 7, 0, 3};
constexpr int kJoinPrimitives = 8;
// Up to this many quads the ribbon uses 16-bit indices.
constexpr int kSixteenBitCapacity = 1000;

constexpr std::array<platform::VertexElement, 2> kElements{{
    {0, platform::DeclType::Float3, platform::DeclUsage::Position, 0},
    {12, platform::DeclType::Float4, platform::DeclUsage::TexCoord, 0},
}};

const EmitterInfo& Begun(const EmitterInfo& info) {
    BeginEmitter(info, "Creating curve particle emitter",
                 "CurveEmitter size is less than one. Skipping.");
    return info;
}

float* WriteVertex(float* out, const math::Vector3f& p, const math::Vector4f& color) {
    *out++ = p.x;
    *out++ = p.y;
    *out++ = p.z;
    *out++ = color.x;
    *out++ = color.y;
    *out++ = color.z;
    *out++ = color.w;
    return out;
}

} // namespace

CurveEmitter::CurveEmitter(Node* parent, const EmitterInfo& info)
    : Spatial(parent), mInfo(Begun(info)), mRing(info.capacity, info.initialCount),
      mWidth(info.size), mLength(info.size) {
    mTemplate.color = info.color;
    mTemplate.colorVelocity = info.colorVelocity;

    mBuffers = ParticleBuffers::Create(info, kVertexSize, kRibbonPattern,
                                       info.capacity <= kSixteenBitCapacity
                                           ? platform::IndexFormat::Index16
                                           : platform::IndexFormat::Index32,
                                       kElements);

    for (int i = 0; i < mRing.Count(); ++i)
        CurveEmitter::InitParticle(mRing[i]);
}

CurveEmitter::~CurveEmitter() = default;

void CurveEmitter::Update(RenderQueue& queue) {
    Advance(static_cast<float>(core::Timer::Get()->GetSinceLast()));
    const int count = Count();
    if (count == 0 || !queue.Drawing())
        return;
    void* memory = mBuffers.vertices->Lock(0, 0, platform::LockDiscard);
    if (!memory)
        return; // nothing to draw this frame; the quads still changed colour
    auto* out = static_cast<float*>(memory);
    for (int i = 0; i + 1 < count; ++i) {
        const CurveParticle& quad = mRing[i];
        for (const math::Vector3f& corner : quad.corners)
            out = WriteVertex(out, corner, quad.color);
    }
    math::Vector3f head[4];
    PlaceCorners(head);
    for (const math::Vector3f& corner : head)
        out = WriteVertex(out, corner, mRing[count - 1].color);
    if (mBuffers.vertices->Unlock() != platform::Result::Ok)
        return;

    const math::Matrix4x4 world = mParent ? mParent->ParentWorld() : math::Matrix4x4::Identity;
    mBuffers.Submit(queue, 4 * count, 10 * count - kJoinPrimitives, world);
}

void CurveEmitter::Advance(float dt) {
    const std::int64_t due = mClock.Tick(dt, mInfo.interval);
    // Spawns beyond one ring's worth would be overwritten within this call.
    const std::int64_t kept = std::min<std::int64_t>(due, Capacity());
    mRing.Skip(due - kept);
    for (std::int64_t i = 0; i < kept; ++i)
        Spawn();
    for (int i = 0; i < Count(); ++i)
        AdvanceParticle(mRing[i], dt);
}

void CurveEmitter::AdvanceParticle(CurveParticle& particle, float dt) {
    particle.color += particle.colorVelocity * dt;
}

void CurveEmitter::Spawn() {
    InitParticle(mRing.Push());
}

void CurveEmitter::InitParticle(CurveParticle& particle) {
    PlaceCorners(particle.corners);
    particle.color = mTemplate.color;
    particle.colorVelocity = mTemplate.colorVelocity;
    particle.colorVelocity += math::ComponentMul(
        mInfo.colorVelocitySpread,
        math::Vector4f(ParticleSpread(), ParticleSpread(), ParticleSpread(), ParticleSpread()));
}

void CurveEmitter::PlaceCorners(math::Vector3f (&corners)[4]) const {
    const math::Matrix4x4 local = mParent ? mParent->Local() : math::Matrix4x4::Identity;
    const float w = mWidth * 0.5f;
    const float l = mLength * 0.5f;
    corners[0] = math::TransformCoord(math::Vector3f(-w, 0.0f, -l), local);
    corners[1] = math::TransformCoord(math::Vector3f(-w, 0.0f, l), local);
    corners[2] = math::TransformCoord(math::Vector3f(w, 0.0f, l), local);
    corners[3] = math::TransformCoord(math::Vector3f(w, 0.0f, -l), local);
}

} // namespace engine::gfx
