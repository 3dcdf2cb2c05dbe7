#pragma once

#include "engine/platform/device.h"

#include <array>
#include <memory>

struct SDL_Window;

namespace engine::platform {

// The Device on OpenGL 3.3 core or newer with clip control. The back buffer
// is a framebuffer the device owns, stored top row first like every render
// target and texture here (clip origin upper-left, depth range [0, 1]), so
// Direct3D texture coordinates, winding and screenshots hold unchanged;
// Present flips it onto the window.
//
// Device loss: a full-screen device is lost when its window is minimised or
// loses focus (OnWindowMessage); Present then fails with DeviceLost and
// TestCooperativeLevel reports DeviceLost until the window is back, then
// DeviceNotReset until Reset.
class GlDevice final : public Device {
public:
    // Creates a GL context on the window (made with SDL_WINDOW_OPENGL) and
    // the back buffer. Failures are logged as errors, which throw.
    static std::unique_ptr<GlDevice> Create(SDL_Window* window,
                                            const PresentParameters& parameters);
    ~GlDevice() override;

    const DeviceCaps& GetCaps() const override { return mCaps; }
    bool CheckMultiSample(Format format, bool windowed, int samples) const override;
    const PresentParameters& GetPresentParameters() const override { return mParameters; }
    Result TestCooperativeLevel() override;
    Result Reset(const PresentParameters& parameters) override;
    void OnWindowMessage(const WindowMessage& message) override;

    std::unique_ptr<VertexBuffer> CreateVertexBuffer(std::uint32_t size,
                                                     BufferUsage usage) override;
    std::unique_ptr<IndexBuffer> CreateIndexBuffer(std::uint32_t size, IndexFormat format,
                                                   BufferUsage usage) override;
    std::unique_ptr<VertexDeclaration>
    CreateVertexDeclaration(std::span<const VertexElement> elements) override;
    std::unique_ptr<Texture> CreateTexture(int width, int height, int levels, Format format,
                                           TextureUsage usage) override;
    std::unique_ptr<CubeTexture> CreateCubeTexture(int edgeLength, int levels,
                                                   Format format) override;
    std::unique_ptr<Surface> CreateDepthStencilSurface(int width, int height, Format format,
                                                       int multiSample) override;
    ProgramResult CreateProgram(const ProgramSource& source) override;

    Surface* GetBackBuffer() override;
    Surface* GetDepthStencilSurface() override;
    Result SetRenderTarget(int index, Surface* surface) override;
    Surface* GetRenderTarget(int index) override;
    Result SetDepthStencilSurface(Surface* surface) override;
    Result SetViewport(const Rect& viewport) override;
    Result StretchRect(Surface* source, const Rect* sourceRect, Surface* destination) override;
    Result Clear(std::uint32_t flags, std::uint32_t color, float z, std::uint32_t stencil) override;
    Result BeginScene() override;
    Result EndScene() override;
    Result Present() override;
    Result SaveSurfaceToPng(Surface* surface, const std::string& path) override;
    Result ReadSurface(Surface* surface, std::vector<std::uint8_t>& rgba) override;

    void SetTransform(TransformState state, const math::Matrix4x4& matrix) override;
    void GetTransform(TransformState state, math::Matrix4x4& matrix) const override;
    void SetCullMode(CullMode mode) override;
    void ApplyRenderStates(const RenderStates& states) override;
    void SetVertexDeclaration(VertexDeclaration* declaration) override;
    void SetStreamSource(VertexBuffer* buffer, std::uint32_t offset, std::uint32_t stride) override;
    void SetIndices(IndexBuffer* buffer) override;
    Result DrawIndexedPrimitive(PrimitiveType type, int baseVertexIndex, std::uint32_t minIndex,
                                std::uint32_t numVertices, std::uint32_t startIndex,
                                std::uint32_t primitiveCount) override;
    Result DrawPrimitive(PrimitiveType type, std::uint32_t startVertex,
                         std::uint32_t primitiveCount) override;
    void SetProgram(Program* program) override;
    void SetUniform(Program* program, int location, UniformType type, const void* values,
                    int count = 1) override;
    void SetTexture(int unit, BaseTexture* texture) override;
    void SetSamplerState(int unit, const SamplerState& state) override;

    class GlSurface;

private:
    struct State;

    GlDevice(SDL_Window* window, void* context);
    void CreateBackBuffer();
    void BindTargets();
    bool PrepareDraw(bool indexed);
    // A single-sampled copy of a multisampled surface, or the surface itself.
    GlSurface* Resolved(GlSurface* surface);
    bool Inactive() const;

    SDL_Window* mWindow;
    void* mContext;
    DeviceCaps mCaps;
    PresentParameters mParameters;
    std::unique_ptr<State> mState;
};

} // namespace engine::platform
