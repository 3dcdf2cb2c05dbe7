#include "engine/gfx/particleEngine.h"

#include "engine/core/graphicsDevice.h"
#include "engine/core/log.h"
#include "engine/gfx/emitterInfo.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/renderQueue.h"
#include "engine/math/matrixHelpers.h"
#include "engine/platform/device.h"

#include <string>

namespace engine::gfx {

namespace {

constexpr const char* kSource = ".\\particleEngine.cpp";
constexpr int kVerticesPerParticle = 4;

core::Logging& Log() {
    return *core::Logging::Get();
}

template <typename Index>
void FillIndices(void* memory, int capacity, std::span<const std::uint8_t> pattern) {
    auto* index = static_cast<Index*>(memory);
    for (int i = 0; i < capacity; ++i) {
        const auto first = static_cast<std::uint32_t>(i * kVerticesPerParticle);
        for (const std::uint8_t offset : pattern)
            *index++ = static_cast<Index>(first + offset);
    }
}

} // namespace

void BeginEmitter(const EmitterInfo& info, const char* creating, const char* smallSize) {
    if (info.capacity < info.initialCount)
        Log().Error("Emitter cannot store so many particles: " + std::to_string(info.initialCount) +
                        "/" + std::to_string(info.capacity),
                    kSource, __LINE__);
    // A ring without slots has nowhere to spawn, and a huge one would take
    // memory the show never gets back.
    if (info.capacity < 1 || info.capacity > kMaxParticleCapacity)
        Log().Error("Emitter capacity out of range: " + std::to_string(info.capacity), kSource,
                    __LINE__);
    if (info.initialCount < 0)
        Log().Error("Emitter initial particle count is negative: " +
                        std::to_string(info.initialCount),
                    kSource, __LINE__);
    Log().Message(creating, kSource, __LINE__);
    if (info.size < 1.0f)
        Log().Message(smallSize, kSource, __LINE__);
}

std::unique_ptr<platform::VertexBuffer> CreateParticleVertexBuffer(int capacity, int vertexSize) {
    platform::Device* device = core::GraphicsDevice();
    std::unique_ptr<platform::VertexBuffer> buffer;
    if (device)
        buffer = device->CreateVertexBuffer(
            static_cast<std::uint32_t>(capacity * kVerticesPerParticle * vertexSize),
            platform::BufferUsage::Dynamic);
    if (!buffer)
        Log().Error("Failed to create a particle vertex buffer", kSource, __LINE__);
    return buffer;
}

std::unique_ptr<platform::IndexBuffer>
CreateParticleIndexBuffer(int capacity, std::span<const std::uint8_t> pattern,
                          platform::IndexFormat format) {
    const bool sixteenBit = format == platform::IndexFormat::Index16;
    const char* failure = sixteenBit ? "Failed to create a 16bit particle index buffer"
                                     : "Failed to create a 32bit particle index buffer";
    const std::size_t indexSize = sixteenBit ? 2 : 4;
    platform::Device* device = core::GraphicsDevice();
    std::unique_ptr<platform::IndexBuffer> buffer;
    if (device)
        buffer = device->CreateIndexBuffer(
            static_cast<std::uint32_t>(std::size_t(capacity) * pattern.size() * indexSize), format,
            platform::BufferUsage::Static);
    void* memory = buffer ? buffer->Lock(0, 0, platform::LockNone) : nullptr;
    if (!memory)
        Log().Error(failure, kSource, __LINE__);
    if (sixteenBit)
        FillIndices<std::uint16_t>(memory, capacity, pattern);
    else
        FillIndices<std::uint32_t>(memory, capacity, pattern);
    if (buffer->Unlock() != platform::Result::Ok)
        Log().Error(failure, kSource, __LINE__);
    return buffer;
}

std::unique_ptr<platform::VertexDeclaration>
CreateParticleDeclaration(std::span<const platform::VertexElement> elements) {
    platform::Device* device = core::GraphicsDevice();
    std::unique_ptr<platform::VertexDeclaration> declaration;
    if (device)
        declaration = device->CreateVertexDeclaration(elements);
    if (!declaration)
        Log().Error("Failed creating vertex declaration", kSource, __LINE__);
    return declaration;
}

std::shared_ptr<RenderObject> CreateParticleObject(platform::VertexBuffer* vertexBuffer,
                                                   platform::IndexBuffer* indexBuffer,
                                                   platform::VertexDeclaration* declaration,
                                                   std::shared_ptr<Effect> effect, int vertexSize) {
    auto object = std::make_shared<RenderObject>();
    object->vertexBuffer = vertexBuffer;
    object->indexBuffer = indexBuffer;
    object->vertexDeclaration = declaration;
    object->effect = std::move(effect);
    object->primitiveType = platform::PrimitiveType::TriangleList;
    object->vertexSize = vertexSize;
    return object;
}

void PlaceParticleObject(RenderObject& object, const math::Matrix4x4& world) {
    object.world = world;
    if (!math::MatrixInverse(world, object.worldInverseTranspose))
        object.worldInverseTranspose = math::Matrix4x4::Identity;
    object.worldInverseTranspose.ToTranspose();
}

ParticleBuffers ParticleBuffers::Create(const EmitterInfo& info, int vertexSize,
                                        std::span<const std::uint8_t> pattern,
                                        platform::IndexFormat format,
                                        std::span<const platform::VertexElement> elements) {
    ParticleBuffers buffers;
    buffers.vertices = CreateParticleVertexBuffer(info.capacity, vertexSize);
    buffers.indices = CreateParticleIndexBuffer(info.capacity, pattern, format);
    buffers.declaration = CreateParticleDeclaration(elements);
    buffers.object = CreateParticleObject(buffers.vertices.get(), buffers.indices.get(),
                                          buffers.declaration.get(), info.effect, vertexSize);
    return buffers;
}

void ParticleBuffers::Submit(RenderQueue& queue, int vertexCount, int primitiveCount,
                             const math::Matrix4x4& world) {
    object->vertexCount = vertexCount;
    object->primitiveCount = primitiveCount;
    PlaceParticleObject(*object, world);
    queue.Submit(object);
}

} // namespace engine::gfx
