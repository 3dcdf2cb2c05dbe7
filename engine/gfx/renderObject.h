#pragma once

#include "engine/engineApi.h"
#include "engine/math/matrix4x4.h"
#include "engine/math/vector3f.h"
#include "engine/platform/deviceInfo.h"

#include <cstdint>
#include <memory>

namespace engine::platform {
class VertexBuffer;
class IndexBuffer;
class VertexDeclaration;
} // namespace engine::platform

namespace engine::gfx {

class Effect;

/// What a drawable hands the renderer for one draw: the geometry, the effect
/// whose shaders draw it and its matrices. Lives for one frame in the queue.
struct ENGINE_API RenderObject {
    std::int32_t vertexCount = 0;
    std::int32_t primitiveCount = 0;
    platform::VertexBuffer* vertexBuffer = nullptr;
    platform::IndexBuffer* indexBuffer = nullptr;
    platform::VertexDeclaration* vertexDeclaration = nullptr;
    std::shared_ptr<Effect> effect;
    math::Vector3f position;
    platform::PrimitiveType primitiveType = platform::PrimitiveType::TriangleList;
    math::Matrix4x4 world = math::Matrix4x4::Identity;
    math::Matrix4x4 worldInverseTranspose = math::Matrix4x4::Identity;
    std::int32_t vertexSize = 0;
    std::int32_t startIndex = 0;
};

/// The geometry last put on the device, so that consecutive objects sharing it
/// bind it once. The renderer forgets it (Reset) whenever something else may
/// have changed the device's bindings: a new frame, a device reset.
struct ENGINE_API BoundGeometry {
    platform::VertexDeclaration* declaration = nullptr;
    platform::VertexBuffer* vertexBuffer = nullptr;
    std::int32_t stride = 0;
    platform::IndexBuffer* indexBuffer = nullptr;

    void Reset() { *this = BoundGeometry{}; }
};

ENGINE_API BoundGeometry& LastBoundGeometry();

} // namespace engine::gfx
