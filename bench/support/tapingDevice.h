#pragma once

#include "support/forwardingDevice.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kovra::bench {

// One device call of a frame, with the arguments its replay needs.
struct TapedCall {
    enum class Kind : std::uint8_t {
        RenderTarget,
        DepthTarget,
        Clear,
        Stretch,
        Viewport,
        Present,
        Cull,
        States,
        Declaration,
        Stream,
        Indices,
        DrawIndexed,
        Draw,
        Program,
        Uniform,
        Texture,
        Sampler,
    };
    Kind kind = Kind::Present;
    const void* object = nullptr;
    const void* other = nullptr;
    std::uint32_t a = 0, b = 0, c = 0, d = 0; // the call's integer arguments in order
    int base = 0;                             // base vertex index
    float z = 0.0f;                           // clear depth
    engine::platform::RenderStates states;    // States; Cull carries its mode here
    engine::platform::SamplerState sampler;
    engine::platform::Rect rect; // Viewport; Stretch's source, empty for the whole
    engine::platform::UniformType type = engine::platform::UniformType::Other;
    std::vector<std::uint32_t> words; // uniform values
};

// Passes every call to the device it wraps and, while taping, keeps the
// calls that make up a frame: targets, clears, copies, state, bindings,
// uniforms and draws. Its own cost is one virtual call and a test.
class TapingDevice final : public ForwardingDevice {
public:
    explicit TapingDevice(std::unique_ptr<engine::platform::Device> inner)
        : ForwardingDevice(std::move(inner)) {}

    // Starts a tape with the targets in use, so that it draws where the
    // frame began drawing.
    void StartTape() {
        tape.clear();
        {
            TapedCall call = Make(TapedCall::Kind::RenderTarget);
            call.object = Inner().GetRenderTarget(0);
            Keep(std::move(call));
        }
        {
            TapedCall call = Make(TapedCall::Kind::DepthTarget);
            call.object = mDepth;
            Keep(std::move(call));
        }
        taping = true;
    }

    bool taping = false;
    std::vector<TapedCall> tape;
    Result Reset(const engine::platform::PresentParameters& parameters) override {
        const Result result = ForwardingDevice::Reset(parameters);
        if (result == Result::Ok)
            mDepth = parameters.autoDepthStencil ? Inner().GetDepthStencilSurface() : nullptr;
        return result;
    }
    Result SetRenderTarget(int index, Surface* surface) override {
        const Result result = Inner().SetRenderTarget(index, surface);
        if (taping && result == Result::Ok) {
            TapedCall call = Make(TapedCall::Kind::RenderTarget);
            call.object = surface;
            Keep(std::move(call));
        }
        return result;
    }
    Result SetDepthStencilSurface(Surface* surface) override {
        const Result result = Inner().SetDepthStencilSurface(surface);
        if (result == Result::Ok)
            mDepth = surface;
        if (taping && result == Result::Ok) {
            TapedCall call = Make(TapedCall::Kind::DepthTarget);
            call.object = surface;
            Keep(std::move(call));
        }
        return result;
    }
    Result SetViewport(const engine::platform::Rect& viewport) override {
        const Result result = Inner().SetViewport(viewport);
        if (taping && result == Result::Ok) {
            TapedCall call = Make(TapedCall::Kind::Viewport);
            call.rect = viewport;
            Keep(std::move(call));
        }
        return result;
    }
    Result StretchRect(Surface* source, const engine::platform::Rect* sourceRect,
                       Surface* destination) override {
        const Result result = Inner().StretchRect(source, sourceRect, destination);
        if (taping && result == Result::Ok) {
            TapedCall call = Make(TapedCall::Kind::Stretch);
            call.object = source;
            call.other = destination;
            call.rect = sourceRect ? *sourceRect : engine::platform::Rect{};
            Keep(std::move(call));
        }
        return result;
    }
    Result Clear(std::uint32_t flags, std::uint32_t color, float z,
                 std::uint32_t stencil) override {
        const Result result = Inner().Clear(flags, color, z, stencil);
        if (taping && result == Result::Ok) {
            TapedCall call = Make(TapedCall::Kind::Clear);
            call.a = flags;
            call.b = color;
            call.c = stencil;
            call.z = z;
            Keep(std::move(call));
        }
        return result;
    }
    Result Present() override {
        const Result result = Inner().Present();
        if (taping && result == Result::Ok) {
            TapedCall call = Make(TapedCall::Kind::Present);
            Keep(std::move(call));
        }
        return result;
    }
    void SetCullMode(engine::platform::CullMode mode) override {
        Inner().SetCullMode(mode);
        if (taping) {
            TapedCall call = Make(TapedCall::Kind::Cull);
            call.states.cullMode = mode;
            Keep(std::move(call));
        }
    }
    void ApplyRenderStates(const engine::platform::RenderStates& states) override {
        Inner().ApplyRenderStates(states);
        if (taping) {
            TapedCall call = Make(TapedCall::Kind::States);
            call.states = states;
            Keep(std::move(call));
        }
    }
    void SetVertexDeclaration(engine::platform::VertexDeclaration* declaration) override {
        Inner().SetVertexDeclaration(declaration);
        if (taping) {
            TapedCall call = Make(TapedCall::Kind::Declaration);
            call.object = declaration;
            Keep(std::move(call));
        }
    }
    void SetStreamSource(engine::platform::VertexBuffer* buffer, std::uint32_t offset,
                         std::uint32_t stride) override {
        Inner().SetStreamSource(buffer, offset, stride);
        if (taping) {
            TapedCall call = Make(TapedCall::Kind::Stream);
            call.object = buffer;
            call.a = offset;
            call.b = stride;
            Keep(std::move(call));
        }
    }
    void SetIndices(engine::platform::IndexBuffer* buffer) override {
        Inner().SetIndices(buffer);
        if (taping) {
            TapedCall call = Make(TapedCall::Kind::Indices);
            call.object = buffer;
            Keep(std::move(call));
        }
    }
    Result DrawIndexedPrimitive(engine::platform::PrimitiveType type, int baseVertexIndex,
                                std::uint32_t minIndex, std::uint32_t numVertices,
                                std::uint32_t startIndex, std::uint32_t primitiveCount) override {
        const Result result = Inner().DrawIndexedPrimitive(type, baseVertexIndex, minIndex,
                                                           numVertices, startIndex, primitiveCount);
        if (taping && result == Result::Ok) {
            TapedCall call = Make(TapedCall::Kind::DrawIndexed);
            call.a = static_cast<std::uint32_t>(type);
            call.b = startIndex;
            call.c = primitiveCount;
            call.base = baseVertexIndex;
            Keep(std::move(call));
        }
        return result;
    }
    Result DrawPrimitive(engine::platform::PrimitiveType type, std::uint32_t startVertex,
                         std::uint32_t primitiveCount) override {
        const Result result = Inner().DrawPrimitive(type, startVertex, primitiveCount);
        if (taping && result == Result::Ok) {
            TapedCall call = Make(TapedCall::Kind::Draw);
            call.a = static_cast<std::uint32_t>(type);
            call.b = startVertex;
            call.c = primitiveCount;
            Keep(std::move(call));
        }
        return result;
    }
    void SetProgram(engine::platform::Program* program) override {
        Inner().SetProgram(program);
        if (taping) {
            TapedCall call = Make(TapedCall::Kind::Program);
            call.object = program;
            Keep(std::move(call));
        }
    }
    void SetUniform(engine::platform::Program* program, int location,
                    engine::platform::UniformType type, const void* values, int count) override {
        Inner().SetUniform(program, location, type, values, count);
        if (!taping || program == nullptr || location < 0 || count <= 0)
            return;
        const auto* first = static_cast<const std::uint32_t*>(values);
        const auto words =
            static_cast<std::size_t>(engine::platform::UniformComponents(type) * count);
        {
            TapedCall call = Make(TapedCall::Kind::Uniform);
            call.object = program;
            call.a = static_cast<std::uint32_t>(location);
            call.b = static_cast<std::uint32_t>(count);
            call.type = type;
            call.words = std::vector<std::uint32_t>(first, first + words);
            Keep(std::move(call));
        }
    }
    void SetTexture(int unit, engine::platform::BaseTexture* texture) override {
        Inner().SetTexture(unit, texture);
        if (taping) {
            TapedCall call = Make(TapedCall::Kind::Texture);
            call.object = texture;
            call.a = static_cast<std::uint32_t>(unit);
            Keep(std::move(call));
        }
    }
    void SetSamplerState(int unit, const engine::platform::SamplerState& state) override {
        Inner().SetSamplerState(unit, state);
        if (taping) {
            TapedCall call = Make(TapedCall::Kind::Sampler);
            call.a = static_cast<std::uint32_t>(unit);
            call.sampler = state;
            Keep(std::move(call));
        }
    }

private:
    static TapedCall Make(TapedCall::Kind kind) {
        TapedCall call;
        call.kind = kind;
        return call;
    }
    void Keep(TapedCall call) { tape.push_back(std::move(call)); }

    Surface* mDepth = Inner().GetDepthStencilSurface();
};

} // namespace kovra::bench
