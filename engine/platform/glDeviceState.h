#pragma once

#include "engine/platform/glBuffer.h"
#include "engine/platform/glDevice.h"
#include "engine/platform/glDeviceLink.h"
#include "engine/platform/glProgram.h"
#include "engine/platform/glSurface.h"

#include <epoxy/gl.h>

#include <array>
#include <memory>

namespace engine::platform {

// What the device owns besides its objects, and what it knows of the
// context's current state.
struct GlDevice::State {
    Liveness link = std::make_shared<DeviceLink>();
    std::unique_ptr<GlSurface> backBuffer;
    std::unique_ptr<GlSurface> depthStencil;
    std::unique_ptr<GlSurface> resolve;       // single-sampled copy of a multisampled back buffer
    std::unique_ptr<GlSurface> fallbackDepth; // depth for targets the set depth buffer cannot serve
    GLuint vertexArray = 0;
    GLuint targetFramebuffer = 0;
    GLuint readFramebuffer = 0;
    GLuint drawFramebuffer = 0;
    Surface* renderTarget = nullptr;
    Surface* depthTarget = nullptr;
    Rect viewport;                // on renderTarget, top row first
    bool viewportPartial = false; // whether it leaves part of renderTarget out
    bool targetsDirty = true;
    bool inScene = false;
    bool lost = false;
    bool focused = true;
    bool minimized = false;
    bool textureStorage = false;
    bool programUniform = false;
    bool mirrorClamp = false;
    float maxAnisotropy = 0; // 0: no anisotropic filtering
    RenderStates states;
    bool statesKnown = false; // whether the context holds `states`
    bool targetBound = false; // whether the draw framebuffer is targetFramebuffer
    std::array<std::array<float, 16>, kTransformCount> transforms{};
    GlProgram* program = nullptr;
    GlDeclaration* declaration = nullptr;
    GlVertexBuffer* stream = nullptr;
    std::uint32_t streamOffset = 0;
    std::uint32_t streamStride = 0;
    GlIndexBuffer* indices = nullptr;
    std::uint32_t enabledSlots = 0;
    std::array<GLuint, 16> samplers{};
    std::array<SamplerState, 16> samplerStates{};
    std::array<GLenum, 16> unitTargets{};
    std::array<GLuint, 16> unitNames{}; // texture bound on each unit, when known
    GLuint activeUnit = ~0u;
};

} // namespace engine::platform
