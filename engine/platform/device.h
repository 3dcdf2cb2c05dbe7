#pragma once

#include "engine/platform/deviceTypes.h"
#include "engine/platform/windowMessage.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace engine::math {
struct Matrix4x4;
}

namespace engine::platform {

// Device objects. They are created by a Device and must be destroyed before it.

class VertexBuffer {
public:
    virtual ~VertexBuffer() = default;
    virtual std::uint32_t Size() const = 0;
    // Memory for bytes [offset, offset + size) (size 0: to the end); null on
    // failure. Unlock hands the bytes to the device.
    virtual void* Lock(std::uint32_t offset, std::uint32_t size, std::uint32_t flags) = 0;
    virtual Result Unlock() = 0;
};

class IndexBuffer {
public:
    virtual ~IndexBuffer() = default;
    virtual std::uint32_t Size() const = 0;
    virtual IndexFormat GetFormat() const = 0;
    virtual void* Lock(std::uint32_t offset, std::uint32_t size, std::uint32_t flags) = 0;
    virtual Result Unlock() = 0;
};

class VertexDeclaration {
public:
    virtual ~VertexDeclaration() = default;
    virtual std::span<const VertexElement> Elements() const = 0;
};

// A 2-D image the device can draw into, copy between or save: the back buffer,
// a depth-stencil buffer or one level of a texture.
class Surface {
public:
    virtual ~Surface() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual Format GetFormat() const = 0;
};

// Whether `rect` is not empty and lies on `surface`.
bool Within(const Rect& rect, const Surface& surface);

class BaseTexture {
public:
    virtual ~BaseTexture() = default;
    virtual int LevelCount() const = 0;
    virtual Format GetFormat() const = 0;
};

class Texture : public BaseTexture {
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Row 0 is the top row of the image. The memory does not hold the
    // level's current texels: write all of it; Unlock uploads the level.
    virtual LockedRect Lock(int level) = 0; // bits null on failure
    virtual Result Unlock(int level) = 0;
    // Owned by the texture; null for a level that does not exist.
    virtual Surface* GetSurfaceLevel(int level) = 0;
};

class CubeTexture : public BaseTexture {
public:
    virtual int EdgeLength() const = 0;
    virtual LockedRect Lock(CubeFace face, int level) = 0;
    virtual Result Unlock(CubeFace face, int level) = 0;
};

// A linked shader program.
class Program {
public:
    virtual ~Program() = default;
    // Active uniforms, samplers included.
    virtual const std::vector<UniformInfo>& Uniforms() const = 0;
    const UniformInfo* FindUniform(const std::string& name) const;
};

struct ProgramResult {
    std::unique_ptr<Program> program; // null on failure
    std::string log;                  // the compiler's and linker's info log
};

// What the engine asks of the graphics hardware, modelled on Direct3D 9.
// Calls returning Result fail as noted; calls returning void cannot fail.
class Device {
public:
    virtual ~Device() = default;

    virtual const DeviceCaps& GetCaps() const = 0;
    // Whether the back-buffer format supports that many samples (0 and 1 always).
    virtual bool CheckMultiSample(Format format, bool windowed, int samples) const = 0;
    virtual const PresentParameters& GetPresentParameters() const = 0;

    // Ok, DeviceLost (cannot be reset yet) or DeviceNotReset (Reset will work).
    virtual Result TestCooperativeLevel() = 0;
    // Re-creates the back buffer and depth buffer; fails while the device is
    // still lost. Textures, buffers and programs survive.
    virtual Result Reset(const PresentParameters& parameters) = 0;
    // Window events that decide device loss (focus, minimise); others are ignored.
    virtual void OnWindowMessage(const WindowMessage& message) = 0;

    // Creation returns null on failure.
    virtual std::unique_ptr<VertexBuffer> CreateVertexBuffer(std::uint32_t size,
                                                             BufferUsage usage) = 0;
    virtual std::unique_ptr<IndexBuffer> CreateIndexBuffer(std::uint32_t size, IndexFormat format,
                                                           BufferUsage usage) = 0;
    virtual std::unique_ptr<VertexDeclaration>
    CreateVertexDeclaration(std::span<const VertexElement> elements) = 0;
    // levels 0: the full chain down to 1x1. Render targets have one level.
    virtual std::unique_ptr<Texture> CreateTexture(int width, int height, int levels, Format format,
                                                   TextureUsage usage) = 0;
    virtual std::unique_ptr<CubeTexture> CreateCubeTexture(int edgeLength, int levels,
                                                           Format format) = 0;
    virtual std::unique_ptr<Surface> CreateDepthStencilSurface(int width, int height, Format format,
                                                               int multiSample) = 0;
    // Fails (null) for a shader that does not compile or link; the log says why.
    virtual ProgramResult CreateProgram(const ProgramSource& source) = 0;

    // The back buffer and the automatic depth-stencil buffer live as long as
    // the device, across Reset.
    virtual Surface* GetBackBuffer() = 0;
    virtual Surface* GetDepthStencilSurface() = 0;
    // Only index 0 exists. Setting a target resets the viewport to its size.
    virtual Result SetRenderTarget(int index, Surface* surface) = 0;
    virtual Surface* GetRenderTarget(int index) = 0;
    virtual Result SetDepthStencilSurface(Surface* surface) = 0;
    // Where drawing lands on the render target, top row first; Clear
    // clears only this rectangle. Fails for an empty rectangle or one that
    // leaves the target.
    virtual Result SetViewport(const Rect& viewport) = 0;
    // The source rectangle (the whole source when null) onto the whole
    // destination, nearest texel. Fails for compressed or depth surfaces
    // and for a rectangle that is empty or leaves the source.
    virtual Result StretchRect(Surface* source, const Rect* sourceRect, Surface* destination) = 0;
    // colour is ARGB; flags from ClearFlags. Write masks do not apply.
    virtual Result Clear(std::uint32_t flags, std::uint32_t color, float z,
                         std::uint32_t stencil) = 0;

    // BeginScene fails while a scene is begun, EndScene while none is.
    virtual Result BeginScene() = 0;
    virtual Result EndScene() = 0;
    // Fails with DeviceLost while the device is lost.
    virtual Result Present() = 0;
    // Level 0 pixels as PNG, top row first; fails for compressed formats or
    // when the file cannot be written.
    virtual Result SaveSurfaceToPng(Surface* surface, const std::string& path) = 0;
    // Level 0 pixels into `rgba` (resized to width x height x 4), top row
    // first, with opaque alpha where the format has none; fails like
    // SaveSurfaceToPng. The buffer is reused, so a caller reading every
    // frame allocates nothing.
    virtual Result ReadSurface(Surface* surface, std::vector<std::uint8_t>& rgba) = 0;

    virtual void SetTransform(TransformState state, const math::Matrix4x4& matrix) = 0;
    virtual void GetTransform(TransformState state, math::Matrix4x4& matrix) const = 0;
    virtual void SetCullMode(CullMode mode) = 0;
    virtual void ApplyRenderStates(const RenderStates& states) = 0;

    virtual void SetVertexDeclaration(VertexDeclaration* declaration) = 0;
    virtual void SetStreamSource(VertexBuffer* buffer, std::uint32_t offset,
                                 std::uint32_t stride) = 0;
    virtual void SetIndices(IndexBuffer* buffer) = 0;
    // Fail without a program, declaration, stream or (indexed) index buffer.
    virtual Result DrawIndexedPrimitive(PrimitiveType type, int baseVertexIndex,
                                        std::uint32_t minIndex, std::uint32_t numVertices,
                                        std::uint32_t startIndex, std::uint32_t primitiveCount) = 0;
    virtual Result DrawPrimitive(PrimitiveType type, std::uint32_t startVertex,
                                 std::uint32_t primitiveCount) = 0;

    virtual void SetProgram(Program* program) = 0;
    // count elements of type from values: row-major matrices (so that GLSL
    // `v * M` with row vectors matches the engine), Int, Bool and sampler
    // units as 32-bit integers. A location of -1 is ignored.
    virtual void SetUniform(Program* program, int location, UniformType type, const void* values,
                            int count = 1) = 0;
    virtual void SetTexture(int unit, BaseTexture* texture) = 0;
    virtual void SetSamplerState(int unit, const SamplerState& state) = 0;
};

} // namespace engine::platform
