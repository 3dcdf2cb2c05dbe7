#pragma once

#include "engine/platform/device.h"

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace engine::platform {

// A Device without a GPU: it records every call with its key arguments,
// hands out real memory from Lock, and fails or answers as a test tells it.
class RecordingDevice : public Device {
public:
    enum class Call : std::uint8_t {
        TestCooperativeLevel,
        Reset,
        CreateVertexBuffer,
        CreateIndexBuffer,
        CreateVertexDeclaration,
        CreateTexture,
        CreateCubeTexture,
        CreateDepthStencilSurface,
        CreateProgram,
        GetBackBuffer,
        GetDepthStencilSurface,
        SetRenderTarget,
        GetRenderTarget,
        SetDepthStencilSurface,
        SetViewport,
        StretchRect,
        Clear,
        BeginScene,
        EndScene,
        Present,
        SaveSurfaceToPng,
        ReadSurface,
        SetTransform,
        SetCullMode,
        ApplyRenderStates,
        SetVertexDeclaration,
        SetStreamSource,
        SetIndices,
        DrawIndexedPrimitive,
        DrawPrimitive,
        SetProgram,
        SetUniform,
        SetTexture,
        SetSamplerState,
        Lock,   // buffers and texture levels
        Unlock, //
        GetSurfaceLevel,
        Count
    };

    // One call. `object` is the device object acted on (or created), `other`
    // a second one (StretchRect's destination, SetTexture's texture);
    // args are the numeric arguments in the order of the call's parameters
    // (Describe lists them for each call).
    struct CallRecord {
        Call call = Call::Count;
        const void* object = nullptr;
        const void* other = nullptr;
        std::array<double, 6> args{};
    };

    RecordingDevice();
    ~RecordingDevice() override;

    // --- what the test sees and controls
    const std::vector<CallRecord>& Calls() const { return mCalls; }
    void ClearCalls() { mCalls.clear(); }
    std::size_t Count(Call call) const;
    void SetRecording(bool recording) { mRecording = recording; }
    static const char* CallName(Call call);
    // "Clear(3, 4278190335, 1, 0)": name and the arguments that matter.
    static std::string Describe(const CallRecord& record);

    // Make every later `call` fail with `result` (Failed: creation returns
    // null, Lock returns null, surface queries return null).
    void SetFailure(Call call, Result result = Result::Failed);
    void ClearFailure(Call call);
    // What TestCooperativeLevel reports; anything but Ok makes Present fail
    // with DeviceLost, and Reset succeeds only from DeviceNotReset.
    void SetCooperativeLevel(Result level) { mCooperativeLevel = level; }
    DeviceCaps& Caps() { return mCaps; }
    // Largest sample count `format` supports; 4 for the back-buffer formats
    // unless told otherwise, 0 for all others; a negative limit makes the
    // format unusable as a back buffer at any sample count.
    void SetMultiSampleLimit(Format format, int maxSamples);
    bool InScene() const { return mInScene; }
    const RenderStates& LastRenderStates() const { return mRenderStates; }
    const std::vector<std::string>& SavedPaths() const { return mSavedPaths; }
    // Values last written to a program's uniform location (empty if none).
    std::vector<std::int32_t> UniformBits(const Program* program, int location) const;
    std::vector<float> UniformFloats(const Program* program, int location) const;

    // --- Device
    const DeviceCaps& GetCaps() const override { return mCaps; }
    bool CheckMultiSample(Format format, bool windowed, int samples) const override;
    const PresentParameters& GetPresentParameters() const override { return mParameters; }
    Result TestCooperativeLevel() override;
    Result Reset(const PresentParameters& parameters) override;
    void OnWindowMessage(const WindowMessage&) override {}

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
    // Records the source rectangle, all zeros for the whole source.
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

    // Used by the device's own objects.
    void Record(Call call, const void* object, const void* other = nullptr,
                std::array<double, 6> args = {});
    Result FailureOf(Call call) const { return mFailures[static_cast<std::size_t>(call)]; }

private:
    class RecordedSurface;

    std::vector<CallRecord> mCalls;
    bool mRecording = true;
    std::array<Result, static_cast<std::size_t>(Call::Count)> mFailures{};
    Result mCooperativeLevel = Result::Ok;
    DeviceCaps mCaps;
    std::map<Format, int> mMultiSampleLimits;
    PresentParameters mParameters;
    std::unique_ptr<RecordedSurface> mBackBuffer;
    std::unique_ptr<RecordedSurface> mDepthStencil;
    Surface* mRenderTarget = nullptr;
    Surface* mDepthTarget = nullptr;
    bool mInScene = false;
    RenderStates mRenderStates;
    std::array<std::array<float, 16>, kTransformCount> mTransforms{};
    std::vector<std::string> mSavedPaths;
    std::map<std::pair<const Program*, int>, std::vector<std::int32_t>> mUniforms;
};

} // namespace engine::platform
