#pragma once

#include "engine/platform/device.h"

#include <memory>
#include <string>
#include <vector>

namespace kovra::bench {

// Passes every call to the device it wraps; a benchmark's device overrides
// the calls it watches and forwards them through here.
class ForwardingDevice : public engine::platform::Device {
public:
    explicit ForwardingDevice(std::unique_ptr<engine::platform::Device> inner)
        : mInner(std::move(inner)) {}

    engine::platform::Device& Inner() { return *mInner; }

    using Result = engine::platform::Result;
    using Surface = engine::platform::Surface;

    const engine::platform::DeviceCaps& GetCaps() const override { return mInner->GetCaps(); }
    bool CheckMultiSample(engine::platform::Format format, bool windowed,
                          int samples) const override {
        return mInner->CheckMultiSample(format, windowed, samples);
    }
    const engine::platform::PresentParameters& GetPresentParameters() const override {
        return mInner->GetPresentParameters();
    }
    Result TestCooperativeLevel() override { return mInner->TestCooperativeLevel(); }
    Result Reset(const engine::platform::PresentParameters& parameters) override {
        return mInner->Reset(parameters);
    }
    void OnWindowMessage(const engine::platform::WindowMessage& message) override {
        mInner->OnWindowMessage(message);
    }
    std::unique_ptr<engine::platform::VertexBuffer>
    CreateVertexBuffer(std::uint32_t size, engine::platform::BufferUsage usage) override {
        return mInner->CreateVertexBuffer(size, usage);
    }
    std::unique_ptr<engine::platform::IndexBuffer>
    CreateIndexBuffer(std::uint32_t size, engine::platform::IndexFormat format,
                      engine::platform::BufferUsage usage) override {
        return mInner->CreateIndexBuffer(size, format, usage);
    }
    std::unique_ptr<engine::platform::VertexDeclaration>
    CreateVertexDeclaration(std::span<const engine::platform::VertexElement> elements) override {
        return mInner->CreateVertexDeclaration(elements);
    }
    std::unique_ptr<engine::platform::Texture>
    CreateTexture(int width, int height, int levels, engine::platform::Format format,
                  engine::platform::TextureUsage usage) override {
        return mInner->CreateTexture(width, height, levels, format, usage);
    }
    std::unique_ptr<engine::platform::CubeTexture>
    CreateCubeTexture(int edgeLength, int levels, engine::platform::Format format) override {
        return mInner->CreateCubeTexture(edgeLength, levels, format);
    }
    std::unique_ptr<Surface> CreateDepthStencilSurface(int width, int height,
                                                       engine::platform::Format format,
                                                       int multiSample) override {
        return mInner->CreateDepthStencilSurface(width, height, format, multiSample);
    }
    engine::platform::ProgramResult
    CreateProgram(const engine::platform::ProgramSource& source) override {
        return mInner->CreateProgram(source);
    }
    Surface* GetBackBuffer() override { return mInner->GetBackBuffer(); }
    Surface* GetDepthStencilSurface() override { return mInner->GetDepthStencilSurface(); }
    Result SetRenderTarget(int index, Surface* surface) override {
        return mInner->SetRenderTarget(index, surface);
    }
    Surface* GetRenderTarget(int index) override { return mInner->GetRenderTarget(index); }
    Result SetDepthStencilSurface(Surface* surface) override {
        return mInner->SetDepthStencilSurface(surface);
    }
    Result SetViewport(const engine::platform::Rect& viewport) override {
        return mInner->SetViewport(viewport);
    }
    Result StretchRect(Surface* source, const engine::platform::Rect* sourceRect,
                       Surface* destination) override {
        return mInner->StretchRect(source, sourceRect, destination);
    }
    Result Clear(std::uint32_t flags, std::uint32_t color, float z,
                 std::uint32_t stencil) override {
        return mInner->Clear(flags, color, z, stencil);
    }
    Result BeginScene() override { return mInner->BeginScene(); }
    Result EndScene() override { return mInner->EndScene(); }
    Result Present() override { return mInner->Present(); }
    Result SaveSurfaceToPng(Surface* surface, const std::string& path) override {
        return mInner->SaveSurfaceToPng(surface, path);
    }
    Result ReadSurface(Surface* surface, std::vector<std::uint8_t>& rgba) override {
        return mInner->ReadSurface(surface, rgba);
    }
    void SetTransform(engine::platform::TransformState state,
                      const engine::math::Matrix4x4& matrix) override {
        mInner->SetTransform(state, matrix);
    }
    void GetTransform(engine::platform::TransformState state,
                      engine::math::Matrix4x4& matrix) const override {
        mInner->GetTransform(state, matrix);
    }
    void SetCullMode(engine::platform::CullMode mode) override { mInner->SetCullMode(mode); }
    void ApplyRenderStates(const engine::platform::RenderStates& states) override {
        mInner->ApplyRenderStates(states);
    }
    void SetVertexDeclaration(engine::platform::VertexDeclaration* declaration) override {
        mInner->SetVertexDeclaration(declaration);
    }
    void SetStreamSource(engine::platform::VertexBuffer* buffer, std::uint32_t offset,
                         std::uint32_t stride) override {
        mInner->SetStreamSource(buffer, offset, stride);
    }
    void SetIndices(engine::platform::IndexBuffer* buffer) override { mInner->SetIndices(buffer); }
    Result DrawIndexedPrimitive(engine::platform::PrimitiveType type, int baseVertexIndex,
                                std::uint32_t minIndex, std::uint32_t numVertices,
                                std::uint32_t startIndex, std::uint32_t primitiveCount) override {
        return mInner->DrawIndexedPrimitive(type, baseVertexIndex, minIndex, numVertices,
                                            startIndex, primitiveCount);
    }
    Result DrawPrimitive(engine::platform::PrimitiveType type, std::uint32_t startVertex,
                         std::uint32_t primitiveCount) override {
        return mInner->DrawPrimitive(type, startVertex, primitiveCount);
    }
    void SetProgram(engine::platform::Program* program) override { mInner->SetProgram(program); }
    void SetUniform(engine::platform::Program* program, int location,
                    engine::platform::UniformType type, const void* values, int count) override {
        mInner->SetUniform(program, location, type, values, count);
    }
    void SetTexture(int unit, engine::platform::BaseTexture* texture) override {
        mInner->SetTexture(unit, texture);
    }
    void SetSamplerState(int unit, const engine::platform::SamplerState& state) override {
        mInner->SetSamplerState(unit, state);
    }

private:
    std::unique_ptr<engine::platform::Device> mInner;
};

} // namespace kovra::bench
