#pragma once

#include "support/tapingDevice.h"

#include "engine/platform/glBuffer.h"
#include "engine/platform/glEnums.h"
#include "engine/platform/glProgram.h"
#include "engine/platform/glSampler.h"
#include "engine/platform/glSurface.h"
#include "engine/platform/glTexture.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <array>
#include <cstring>
#include <functional>
#include <map>
#include <tuple>
#include <vector>

namespace kovra::bench {

// A taped frame turned into the OpenGL calls a hand-written renderer would
// make for it, built once and then issued as a flat list: a framebuffer per
// target pair, a vertex array per geometry binding and a sampler per
// sampler state made beforehand; state, program, texture and sampler
// changes issued only when they change; a uniform only when its value
// differs from what the program holds. It shares the engine's buffers,
// textures and programs through a context of its own, so that neither
// disturbs the other's state.
class RawGlFrame {
public:
    RawGlFrame(const std::vector<TapedCall>& tape, engine::platform::Surface* backBuffer,
               SDL_Window* window)
        : mWindow(window) {
        if (epoxy_gl_version() >= 46 ||
            epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic") ||
            epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic"))
            glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY, &mMaxAnisotropy);
        // Per-context state the device sets once: Direct3D's frame.
        glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
        glFrontFace(GL_CW);
        mColour = backBuffer;
        for (const TapedCall& call : tape)
            Translate(call, backBuffer);
    }

    ~RawGlFrame() {
        for (const auto& [key, name] : mFramebuffers)
            glDeleteFramebuffers(1, &name);
        for (const auto& [key, name] : mVertexArrays)
            glDeleteVertexArrays(1, &name);
        for (const auto& [state, name] : mSamplers)
            glDeleteSamplers(1, &name);
        for (GLuint depth : mDepthBuffers)
            glDeleteRenderbuffers(1, &depth);
    }

    RawGlFrame(const RawGlFrame&) = delete;
    RawGlFrame& operator=(const RawGlFrame&) = delete;

    void Issue() const {
        for (const auto& call : mCalls)
            call();
    }

private:
    using GlSurface = engine::platform::GlDevice::GlSurface;
    using Kind = TapedCall::Kind;

    // What the context holds, as far as the list has set it.
    struct RenderState {
        bool depthTest = false, depthWrite = false, cull = false, blend = false;
        GLenum depthFunc = 0, cullFace = 0, source = 0, destination = 0, equation = 0, fill = 0;
        std::uint32_t colourMask = 0;
        bool operator==(const RenderState&) const = default;
    };

    void Translate(const TapedCall& call, engine::platform::Surface* backBuffer) {
        switch (call.kind) {
        case Kind::RenderTarget:
            mColour = static_cast<engine::platform::Surface*>(const_cast<void*>(call.object));
            mViewport = {0, 0, mColour->Width(), mColour->Height()};
            break;
        case Kind::Viewport:
            mViewport = call.rect;
            break;
        case Kind::DepthTarget:
            mDepth = static_cast<engine::platform::Surface*>(const_cast<void*>(call.object));
            break;
        case Kind::Clear:
            Clear(call);
            break;
        case Kind::Stretch: {
            auto* from = static_cast<const GlSurface*>(call.object);
            auto* to = static_cast<const GlSurface*>(call.other);
            const GLuint read = Framebuffer(from, nullptr), draw = Framebuffer(to, nullptr);
            const engine::platform::Rect rect =
                call.rect == engine::platform::Rect{}
                    ? engine::platform::Rect{0, 0, from->Width(), from->Height()}
                    : call.rect;
            mCalls.push_back([=] {
                glBlitNamedFramebuffer(read, draw, rect.left, rect.top, rect.right, rect.bottom, 0,
                                       0, to->Width(), to->Height(), GL_COLOR_BUFFER_BIT,
                                       GL_NEAREST);
            });
            break;
        }
        case Kind::Present: {
            auto* image = static_cast<const GlSurface*>(backBuffer);
            const GLuint read = Framebuffer(image, nullptr);
            SDL_Window* window = mWindow;
            mCalls.push_back([=] {
                int width = 0, height = 0;
                SDL_GL_GetDrawableSize(window, &width, &height);
                glBlitNamedFramebuffer(read, 0, 0, 0, image->Width(), image->Height(), 0, height,
                                       width, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
                SDL_GL_SwapWindow(window);
            });
            break;
        }
        case Kind::Cull:
            mWanted.cullMode = call.states.cullMode;
            break;
        case Kind::States:
            mWanted = call.states;
            break;
        case Kind::Declaration:
            mDeclaration = static_cast<const engine::platform::GlDeclaration*>(call.object);
            break;
        case Kind::Stream:
            mStream = static_cast<const engine::platform::GlVertexBuffer*>(call.object);
            mStreamOffset = call.a;
            mStreamStride = call.b;
            break;
        case Kind::Indices:
            mIndices = static_cast<const engine::platform::GlIndexBuffer*>(call.object);
            break;
        case Kind::DrawIndexed:
        case Kind::Draw:
            Draw(call);
            break;
        case Kind::Program:
            mProgram = static_cast<engine::platform::GlProgram*>(const_cast<void*>(call.object));
            break;
        case Kind::Uniform:
            Uniform(call);
            break;
        case Kind::Texture: {
            if (call.a >= mWantedTextures.size())
                break;
            GLuint name = 0;
            auto* texture =
                static_cast<engine::platform::BaseTexture*>(const_cast<void*>(call.object));
            if (auto* flat = dynamic_cast<engine::platform::GlTexture*>(texture))
                name = flat->mName;
            else if (auto* cube = dynamic_cast<engine::platform::GlCubeTexture*>(texture))
                name = cube->mName;
            mWantedTextures[call.a] = name;
            mUsedUnits |= 1u << call.a;
            break;
        }
        case Kind::Sampler:
            if (call.a >= mWantedSamplers.size())
                break;
            mWantedSamplers[call.a] = Sampler(call.sampler);
            mUsedUnits |= 1u << call.a;
            break;
        }
    }

    GLuint Framebuffer(const engine::platform::Surface* colourSurface,
                       const engine::platform::Surface* depthSurface) {
        const auto key = std::make_pair(colourSurface, depthSurface);
        if (auto found = mFramebuffers.find(key); found != mFramebuffers.end())
            return found->second;
        auto* colour = static_cast<const GlSurface*>(colourSurface);
        auto* depth = static_cast<const GlSurface*>(depthSurface);
        GLuint framebuffer = 0;
        glCreateFramebuffers(1, &framebuffer);
        Attach(framebuffer, *colour, GL_COLOR_ATTACHMENT0);
        if (depth != nullptr) {
            if (depth->Samples() == colour->Samples() && depth->Width() >= colour->Width() &&
                depth->Height() >= colour->Height()) {
                Attach(framebuffer, *depth, depth->DepthAttachment());
            } else {
                // As the device does: a target whose depth buffer does not fit gets its own.
                GLuint own = 0;
                glCreateRenderbuffers(1, &own);
                glNamedRenderbufferStorageMultisample(own, colour->Samples(), GL_DEPTH24_STENCIL8,
                                                      colour->Width(), colour->Height());
                glNamedFramebufferRenderbuffer(framebuffer, GL_DEPTH_STENCIL_ATTACHMENT,
                                               GL_RENDERBUFFER, own);
                mDepthBuffers.push_back(own);
            }
        }
        mFramebuffers.emplace(key, framebuffer);
        return framebuffer;
    }

    static void Attach(GLuint framebuffer, const GlSurface& surface, GLenum attachment) {
        if (surface.mRenderbuffer != 0)
            glNamedFramebufferRenderbuffer(framebuffer, attachment, GL_RENDERBUFFER,
                                           surface.mRenderbuffer);
        else
            glNamedFramebufferTexture(framebuffer, attachment, surface.mTexture, surface.mLevel);
    }

    GLuint Sampler(const engine::platform::SamplerState& state) {
        for (const auto& [known, name] : mSamplers)
            if (known == state)
                return name;
        GLuint sampler = 0;
        glCreateSamplers(1, &sampler);
        const GLfloat transparentBlack[4] = {0, 0, 0, 0};
        glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, transparentBlack);
        engine::platform::WriteSamplerParameters(sampler, state, true, mMaxAnisotropy);
        mSamplers.emplace_back(state, sampler);
        return sampler;
    }

    void Targets() {
        const GLuint framebuffer = Framebuffer(mColour, mDepth);
        if (framebuffer != mBoundFramebuffer) {
            mCalls.push_back([=] { glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer); });
            mBoundFramebuffer = framebuffer;
        }
        if (mViewport != mBoundViewport) {
            const engine::platform::Rect v = mViewport;
            mCalls.push_back(
                [=] { glViewport(v.left, v.top, v.right - v.left, v.bottom - v.top); });
            mBoundViewport = v;
        }
    }

    // Whether a clear must be held to the viewport by the scissor.
    bool PartialViewport() const {
        return mViewport != engine::platform::Rect{0, 0, mColour->Width(), mColour->Height()};
    }

    void ColourMask(std::uint32_t mask) {
        if (mKnown && mMask == mask)
            return;
        mCalls.push_back(
            [=] { glColorMask(mask & 1, (mask >> 1) & 1, (mask >> 2) & 1, (mask >> 3) & 1); });
        mMask = mask;
    }

    void Clear(const TapedCall& call) {
        Targets();
        GLbitfield bits = 0;
        if (call.a & engine::platform::ClearTarget) {
            bits |= GL_COLOR_BUFFER_BIT;
            ColourMask(0xF);
            const std::uint32_t colour = call.b;
            mCalls.push_back([=] {
                glClearColor(static_cast<float>((colour >> 16) & 0xFF) / 255.0f,
                             static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                             static_cast<float>(colour & 0xFF) / 255.0f,
                             static_cast<float>(colour >> 24) / 255.0f);
            });
        }
        if (call.a & engine::platform::ClearZBuffer) {
            bits |= GL_DEPTH_BUFFER_BIT;
            if (!mKnown || !mState.depthWrite)
                mCalls.push_back([] { glDepthMask(GL_TRUE); });
            mState.depthWrite = true;
            const float z = call.z;
            mCalls.push_back([=] { glClearDepth(z); });
        }
        if (call.a & engine::platform::ClearStencil) {
            bits |= GL_STENCIL_BUFFER_BIT;
            const auto stencil = static_cast<GLint>(call.c);
            mCalls.push_back([=] {
                glStencilMask(0xFF);
                glClearStencil(stencil);
            });
        }
        if (PartialViewport()) {
            const engine::platform::Rect v = mViewport;
            mCalls.push_back([=] {
                glEnable(GL_SCISSOR_TEST);
                glScissor(v.left, v.top, v.right - v.left, v.bottom - v.top);
                glClear(bits);
                glDisable(GL_SCISSOR_TEST);
            });
        } else {
            mCalls.push_back([=] { glClear(bits); });
        }
    }

    void States() {
        using namespace engine::platform;
        RenderState want;
        want.depthTest = mWanted.zEnable;
        want.depthWrite = mWanted.zWriteEnable;
        want.depthFunc = CompareOf(mWanted.zFunc);
        want.cull = mWanted.cullMode != CullMode::None;
        want.cullFace = mWanted.cullMode == CullMode::Clockwise ? GL_FRONT : GL_BACK;
        want.blend = mWanted.alphaBlendEnable;
        want.source = BlendOf(mWanted.srcBlend);
        want.destination = BlendOf(mWanted.destBlend);
        want.equation = BlendOpOf(mWanted.blendOp);
        want.fill = FillModeOf(mWanted.fillMode);
        ColourMask(mWanted.colorWriteEnable & 0xF);
        const RenderState have = mState;
        const bool all = !mKnown;
        auto toggle = [&](bool on, bool was, GLenum cap) {
            if (all || on != was)
                mCalls.push_back([=] { on ? glEnable(cap) : glDisable(cap); });
        };
        toggle(want.depthTest, have.depthTest, GL_DEPTH_TEST);
        toggle(want.cull, have.cull, GL_CULL_FACE);
        toggle(want.blend, have.blend, GL_BLEND);
        if (all || want.depthWrite != have.depthWrite)
            mCalls.push_back([=] { glDepthMask(want.depthWrite ? GL_TRUE : GL_FALSE); });
        if (all || want.depthFunc != have.depthFunc)
            mCalls.push_back([=] { glDepthFunc(want.depthFunc); });
        if (all || want.cullFace != have.cullFace)
            mCalls.push_back([=] { glCullFace(want.cullFace); });
        if (all || want.source != have.source || want.destination != have.destination)
            mCalls.push_back([=] { glBlendFunc(want.source, want.destination); });
        if (all || want.equation != have.equation)
            mCalls.push_back([=] { glBlendEquation(want.equation); });
        if (all || want.fill != have.fill)
            mCalls.push_back([=] { glPolygonMode(GL_FRONT_AND_BACK, want.fill); });
        want.colourMask = mMask;
        mState = want;
        mKnown = true;
    }

    void Textures() {
        for (GLuint unit = 0; unit < mWantedTextures.size(); ++unit) {
            if ((mUsedUnits & (1u << unit)) == 0)
                continue;
            const GLuint texture = mWantedTextures[unit];
            if (texture != mBoundTextures[unit] || !mTexturesKnown) {
                mCalls.push_back([=] { glBindTextureUnit(unit, texture); });
                mBoundTextures[unit] = texture;
            }
            const GLuint sampler = mWantedSamplers[unit] != 0 ? mWantedSamplers[unit] : Sampler({});
            if (sampler != mBoundSamplers[unit] || !mTexturesKnown) {
                mCalls.push_back([=] { glBindSampler(unit, sampler); });
                mBoundSamplers[unit] = sampler;
            }
        }
        mTexturesKnown = true;
    }

    void Vertices(bool indexed) {
        const auto key = std::make_tuple(mDeclaration, mStream, mStreamOffset, mStreamStride,
                                         indexed ? mIndices : nullptr);
        GLuint vertexArray = 0;
        if (auto found = mVertexArrays.find(key); found != mVertexArrays.end()) {
            vertexArray = found->second;
        } else {
            using namespace engine::platform;
            glCreateVertexArrays(1, &vertexArray);
            for (const VertexElement& element : mDeclaration->Elements()) {
                const auto slot =
                    static_cast<GLuint>(AttributeSlot(element.usage, element.usageIndex));
                glEnableVertexArrayAttrib(vertexArray, slot);
                glVertexArrayAttribBinding(vertexArray, slot, 0);
                switch (element.type) {
                case DeclType::Color:
                    glVertexArrayAttribFormat(vertexArray, slot, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE,
                                              element.offset);
                    break;
                case DeclType::UByte4:
                    glVertexArrayAttribFormat(vertexArray, slot, 4, GL_UNSIGNED_BYTE, GL_FALSE,
                                              element.offset);
                    break;
                default:
                    glVertexArrayAttribFormat(vertexArray, slot,
                                              static_cast<GLint>(element.type) + 1, GL_FLOAT,
                                              GL_FALSE, element.offset);
                    break;
                }
            }
            glVertexArrayVertexBuffer(vertexArray, 0, mStream->Name(), mStreamOffset,
                                      static_cast<GLsizei>(mStreamStride));
            if (indexed)
                glVertexArrayElementBuffer(vertexArray, mIndices->Name());
            mVertexArrays.emplace(key, vertexArray);
        }
        if (vertexArray != mBoundVertexArray) {
            mCalls.push_back([=] { glBindVertexArray(vertexArray); });
            mBoundVertexArray = vertexArray;
        }
    }

    void Draw(const TapedCall& call) {
        using namespace engine::platform;
        const bool indexed = call.kind == Kind::DrawIndexed;
        Targets();
        States();
        if (mProgram != mBoundProgram) {
            const GLuint name = mProgram->mName;
            mCalls.push_back([=] { glUseProgram(name); });
            mBoundProgram = mProgram;
        }
        if (mProgram->mAlphaFunc >= 0) {
            const int func =
                static_cast<int>(mWanted.alphaTestEnable ? mWanted.alphaFunc : CompareFunc::Always);
            const float ref = static_cast<float>(mWanted.alphaRef) / 255.0f;
            std::vector<std::uint32_t> words = {static_cast<std::uint32_t>(func)};
            SendUniform(mProgram, mProgram->mAlphaFunc, UniformType::Int, words, 1);
            std::uint32_t bits = 0;
            std::memcpy(&bits, &ref, sizeof bits);
            SendUniform(mProgram, mProgram->mAlphaRef, UniformType::Float, {bits}, 1);
        }
        Textures();
        Vertices(indexed);
        const DrawMode draw = DrawModeOf(static_cast<PrimitiveType>(call.a), call.c);
        if (indexed) {
            const bool wide = mIndices->GetFormat() == IndexFormat::Index32;
            const auto* offset =
                reinterpret_cast<const void*>(std::uintptr_t{call.b} * (wide ? 4u : 2u));
            const GLenum type = wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
            const int base = call.base;
            mCalls.push_back(
                [=] { glDrawElementsBaseVertex(draw.mode, draw.count, type, offset, base); });
        } else {
            const auto first = static_cast<GLint>(call.b);
            mCalls.push_back([=] { glDrawArrays(draw.mode, first, draw.count); });
        }
    }

    void Uniform(const TapedCall& call) {
        SendUniform(static_cast<engine::platform::GlProgram*>(const_cast<void*>(call.object)),
                    static_cast<int>(call.a), call.type, call.words, static_cast<int>(call.b));
    }

    void SendUniform(const engine::platform::GlProgram* program, int location,
                     engine::platform::UniformType type, const std::vector<std::uint32_t>& words,
                     int count) {
        std::vector<std::uint32_t>& held = mUniforms[{program, location}];
        if (held == words)
            return;
        held = words;
        const GLuint name = program->mName;
        using engine::platform::UniformType;
        switch (type) {
        case UniformType::Float:
            mCalls.push_back([=] { glProgramUniform1fv(name, location, count, Floats(words)); });
            break;
        case UniformType::Float2:
            mCalls.push_back([=] { glProgramUniform2fv(name, location, count, Floats(words)); });
            break;
        case UniformType::Float3:
            mCalls.push_back([=] { glProgramUniform3fv(name, location, count, Floats(words)); });
            break;
        case UniformType::Float4:
            mCalls.push_back([=] { glProgramUniform4fv(name, location, count, Floats(words)); });
            break;
        case UniformType::Float3x3:
            mCalls.push_back(
                [=] { glProgramUniformMatrix3fv(name, location, count, GL_TRUE, Floats(words)); });
            break;
        case UniformType::Float4x4:
            mCalls.push_back(
                [=] { glProgramUniformMatrix4fv(name, location, count, GL_TRUE, Floats(words)); });
            break;
        case UniformType::Int:
        case UniformType::Bool:
        case UniformType::Sampler2D:
        case UniformType::SamplerCube:
            mCalls.push_back([=] {
                glProgramUniform1iv(name, location, count,
                                    reinterpret_cast<const GLint*>(words.data()));
            });
            break;
        case UniformType::Other:
            break;
        }
    }

    static const GLfloat* Floats(const std::vector<std::uint32_t>& words) {
        return reinterpret_cast<const GLfloat*>(words.data());
    }

    SDL_Window* mWindow;
    float mMaxAnisotropy = 0.0f;
    std::vector<std::function<void()>> mCalls;

    // What the taped calls asked for at this point of the frame.
    engine::platform::Surface* mColour = nullptr;
    engine::platform::Rect mViewport;      // what the list has set
    engine::platform::Rect mBoundViewport; // what the context holds
    engine::platform::Surface* mDepth = nullptr;
    engine::platform::RenderStates mWanted;
    engine::platform::GlProgram* mProgram = nullptr;
    const engine::platform::GlDeclaration* mDeclaration = nullptr;
    const engine::platform::GlVertexBuffer* mStream = nullptr;
    std::uint32_t mStreamOffset = 0, mStreamStride = 0;
    const engine::platform::GlIndexBuffer* mIndices = nullptr;
    std::array<GLuint, 16> mWantedTextures{};
    std::array<GLuint, 16> mWantedSamplers{};
    std::uint32_t mUsedUnits = 0;

    // What the list has made the context hold.
    GLuint mBoundFramebuffer = ~0u;
    GLuint mBoundVertexArray = 0;
    const engine::platform::GlProgram* mBoundProgram = nullptr;
    RenderState mState;
    std::uint32_t mMask = 0;
    bool mKnown = false;
    std::array<GLuint, 16> mBoundTextures{};
    std::array<GLuint, 16> mBoundSamplers{};
    bool mTexturesKnown = false;
    std::map<std::pair<const engine::platform::GlProgram*, int>, std::vector<std::uint32_t>>
        mUniforms;

    std::map<std::pair<const engine::platform::Surface*, const engine::platform::Surface*>, GLuint>
        mFramebuffers;
    std::map<std::tuple<const void*, const void*, std::uint32_t, std::uint32_t, const void*>,
             GLuint>
        mVertexArrays;
    std::vector<std::pair<engine::platform::SamplerState, GLuint>> mSamplers;
    std::vector<GLuint> mDepthBuffers;
};

} // namespace kovra::bench
