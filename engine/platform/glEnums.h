#pragma once

#include "engine/platform/deviceTypes.h"

#include <epoxy/gl.h>

#include <cstdint>

namespace engine::platform {

// Direct3D's values as OpenGL names them.
GLenum CompareOf(CompareFunc func);
GLenum BlendOf(Blend blend);
GLenum BlendOpOf(BlendOp op);
GLenum FillModeOf(FillMode mode);
// Mirror-once needs GL 4.4 or ARB_texture_mirror_clamp_to_edge; without it
// the nearest thing is plain mirroring.
GLenum AddressOf(TextureAddress address, bool mirrorClamp);
// Anisotropic filtering is linear filtering with a raised anisotropy limit.
bool IsLinear(TextureFilter filter);
GLenum MinFilterOf(const SamplerState& state);

struct DrawMode {
    GLenum mode;
    GLsizei count;
};
// The primitive and vertex count of a draw of `primitives` primitives.
DrawMode DrawModeOf(PrimitiveType type, std::uint32_t primitives);

} // namespace engine::platform
