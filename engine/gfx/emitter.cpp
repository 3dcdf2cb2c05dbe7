#include "engine/gfx/emitter.h"

#include "engine/core/timer.h"
#include "engine/gfx/node.h"
#include "engine/gfx/particleEngine.h"
#include "engine/gfx/particleRandom.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/renderQueue.h"
#include "engine/platform/device.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace engine::gfx {

namespace {

// Two triangles per particle, both clockwise as the viewer sees them.
constexpr std::array<std::uint8_t, 6> kQuadPattern{0, 1, 2, 2, 3, 0};
// Below this many particles every vertex number fits 16 bits.
constexpr int kSixteenBitCapacity = 0x4000;

constexpr std::array<platform::VertexElement, 3> kElements{{
    {0, platform::DeclType::Float3, platform::DeclUsage::Position, 0},
    {12, platform::DeclType::Float2, platform::DeclUsage::TexCoord, 0},
    {20, platform::DeclType::Float4, platform::DeclUsage::TexCoord, 1},
}};

const EmitterInfo& Begun(const EmitterInfo& info) {
    BeginEmitter(info, "Creating particle emitter", "Emitter size is less than one. Skipping.");
    return info;
}

float* WriteVertex(float* out, const math::Vector3f& p, float u, float v,
                   const math::Vector4f& color) {
    *out++ = p.x;
    *out++ = p.y;
    *out++ = p.z;
    *out++ = u;
    *out++ = v;
    *out++ = color.x;
    *out++ = color.y;
    *out++ = color.z;
    *out++ = color.w;
    return out;
}

} // namespace

Emitter::Emitter(Node* parent, const EmitterInfo& info)
    : Spatial(parent), mInfo(Begun(info)), mRing(info.capacity, info.initialCount) {
    mTemplate.position = ParentLocal().GetTranslation();
    mTemplate.velocity = info.velocity;
    mTemplate.acceleration = info.acceleration;
    mTemplate.color = info.color;
    mTemplate.colorVelocity = info.colorVelocity;
    mTemplate.rotation = 0.0f;
    mTemplate.spin = info.spin;
    mTemplate.size = info.size;
    mTemplate.growingSize = info.size;
    mTemplate.age = 0.0f;

    mBuffers = ParticleBuffers::Create(info, kVertexSize, kQuadPattern,
                                       info.capacity < kSixteenBitCapacity
                                           ? platform::IndexFormat::Index16
                                           : platform::IndexFormat::Index32,
                                       kElements);

    // The first particles are born at the parent's position even for a
    // plane emitter, whose own placement starts with the first spawn.
    for (int i = 0; i < mRing.Count(); ++i)
        Emitter::InitParticle(mRing[i]);
}

Emitter::~Emitter() = default;

math::Matrix4x4 Emitter::ParentLocal() const {
    return mParent ? mParent->Local() : math::Matrix4x4::Identity;
}

void Emitter::Update(RenderQueue& queue) {
    Advance(static_cast<float>(core::Timer::Get()->GetSinceLast()));
    if (Count() == 0 || !queue.Drawing())
        return;
    const math::Matrix4x4 world = mParent ? mParent->ParentWorld() : math::Matrix4x4::Identity;
    void* memory = mBuffers.vertices->Lock(0, 0, platform::LockDiscard);
    if (!memory)
        return; // nothing to draw this frame; the particles still moved
    WriteVertices(world, memory);
    if (mBuffers.vertices->Unlock() != platform::Result::Ok)
        return;

    mBuffers.Submit(queue, 4 * Count(), 2 * Count(), world);
}

// The billboards face the viewer: their edges run along the world matrix's
// first two columns, the view's right and up directions.
void Emitter::WriteVertices(const math::Matrix4x4& world, void* memory) const {
    const math::Vector3f right = world.GetVectorX();
    const math::Vector3f up = world.GetVectorY();
    auto* out = static_cast<float*>(memory);
    for (int i = 0; i < Count(); ++i) {
        const Particle& p = mRing[i];
        const float half = p.size * 0.5f;
        const float c = std::cos(p.rotation);
        const float s = std::sin(p.rotation);
        const math::Vector3f a = (c * right - s * up) * half;
        const math::Vector3f b = (s * right + c * up) * half;
        out = WriteVertex(out, p.position - a - b, 0.0f, 0.0f, p.color);
        out = WriteVertex(out, p.position - a + b, 0.0f, 1.0f, p.color);
        out = WriteVertex(out, p.position + a + b, 1.0f, 1.0f, p.color);
        out = WriteVertex(out, p.position + a - b, 1.0f, 0.0f, p.color);
    }
}

void Emitter::Advance(float dt) {
    const std::int64_t due = mClock.Tick(dt, mInfo.interval);
    // Spawns beyond one ring's worth would be overwritten within this call.
    const std::int64_t kept = std::min<std::int64_t>(due, Capacity());
    mRing.Skip(due - kept);
    for (std::int64_t i = 0; i < kept; ++i)
        Spawn();
    for (int i = 0; i < Count(); ++i)
        AdvanceParticle(mRing[i], dt);
}

void Emitter::AdvanceParticle(Particle& p, float dt) {
    p.age += dt;
    p.color += p.colorVelocity * dt;
    p.position += p.velocity * dt;
    p.rotation += p.spin * dt;
    p.velocity += p.acceleration * dt;
    p.growingSize += mInfo.growth * dt;
    p.size = p.growingSize;
}

void Emitter::Spawn() {
    InitParticle(mRing.Push());
}

void Emitter::InitParticle(Particle& particle) {
    particle = mTemplate;
    particle.position = ParentLocal().GetTranslation();
    Scatter(particle);
}

void Emitter::Scatter(Particle& particle) const {
    particle.velocity += math::ComponentMul(
        mInfo.velocitySpread, math::Vector3f(ParticleSpread(), ParticleSpread(), ParticleSpread()));
    particle.spin += mInfo.spinSpread * ParticleSpread();
    particle.colorVelocity += math::ComponentMul(
        mInfo.colorVelocitySpread,
        math::Vector4f(ParticleSpread(), ParticleSpread(), ParticleSpread(), ParticleSpread()));
}

} // namespace engine::gfx
