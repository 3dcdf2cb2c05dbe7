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

namespace engine::gfx {

struct EmitterInfo;

// What every kind of emitter shares at construction: the checks and reports
// on its description and its device objects. Each particle is four vertices.

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

} // namespace engine::gfx
