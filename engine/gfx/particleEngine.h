#pragma once

#include "engine/platform/deviceTypes.h"

#include <cstdint>
#include <memory>
#include <span>

namespace engine::platform {
class VertexBuffer;
class IndexBuffer;
class VertexDeclaration;
} // namespace engine::platform

namespace engine::math {
struct Matrix4x4;
}

namespace engine::gfx {

class Effect;
class RenderQueue;
struct EmitterInfo;
struct RenderObject;

// What every kind of emitter shares: the checks and reports on its
// description, its device objects and its render object. Each particle is
// four vertices.

// Largest ring an emitter may ask for; it keeps every buffer within 32-bit
// sizes and the memory of one emitter bounded.
inline constexpr int kMaxParticleCapacity = 1 << 20;

// Raises the error for counts no ring can hold, then logs `creating` and,
// for a size below one, `smallSize`.
void BeginEmitter(const EmitterInfo& info, const char* creating, const char* smallSize);

// Written every frame with Discard.
std::unique_ptr<platform::VertexBuffer> CreateParticleVertexBuffer(int capacity, int vertexSize);
// Filled once: for particle i, 4i plus each offset of `pattern`.
std::unique_ptr<platform::IndexBuffer>
CreateParticleIndexBuffer(int capacity, std::span<const std::uint8_t> pattern,
                          platform::IndexFormat format);
std::unique_ptr<platform::VertexDeclaration>
CreateParticleDeclaration(std::span<const platform::VertexElement> elements);

// The one render object an emitter refills every frame: the renderer holds
// it only until it has drawn.
std::shared_ptr<RenderObject> CreateParticleObject(platform::VertexBuffer* vertexBuffer,
                                                   platform::IndexBuffer* indexBuffer,
                                                   platform::VertexDeclaration* declaration,
                                                   std::shared_ptr<Effect> effect, int vertexSize);
// Places the object's particles in `world`.
void PlaceParticleObject(RenderObject& object, const math::Matrix4x4& world);

// An emitter's device objects and the render object drawn from them.
struct ParticleBuffers {
    static ParticleBuffers Create(const EmitterInfo& info, int vertexSize,
                                  std::span<const std::uint8_t> pattern,
                                  platform::IndexFormat format,
                                  std::span<const platform::VertexElement> elements);
    // Hands this frame's draw, placed in `world`, to the queue.
    void Submit(RenderQueue& queue, int vertexCount, int primitiveCount,
                const math::Matrix4x4& world);

    std::unique_ptr<platform::VertexBuffer> vertices;
    std::unique_ptr<platform::IndexBuffer> indices;
    std::unique_ptr<platform::VertexDeclaration> declaration;
    std::shared_ptr<RenderObject> object;
};

} // namespace engine::gfx
