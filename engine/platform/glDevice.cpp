#include "engine/platform/glDevice.h"

#include "engine/core/log.h"
#include "engine/math/matrix4x4.h"
#include "engine/platform/libraryPin.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace engine::platform {

namespace {

const char* const kSource = ".\\glDevice.cpp";

// What device objects tell their device, and learn from it. Objects may
// outlive their device (shutdown releases the window before the resources):
// their GL names died with the context then, and deleting them would need a
// context there is none of.
struct DeviceLink {
    bool alive = true;
    // A vertex buffer or declaration went away: a new one may take its
    // address, so the attribute setup must be made again.
    bool vertexSetupDirty = true;
};
using Liveness = std::shared_ptr<DeviceLink>;

struct GlFormat {
    GLenum internal = 0;
    GLenum format = 0; // 0 for compressed formats
    GLenum type = 0;
};

GlFormat GlFormatOf(Format format) {
    switch (format) {
    case Format::A8R8G8B8:
    case Format::X8R8G8B8:
        // Bytes B, G, R, A in memory: Direct3D's little-endian ARGB.
        return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV};
    case Format::R5G6B5:
        return {GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5};
    case Format::R32F:
        return {GL_R32F, GL_RED, GL_FLOAT};
    case Format::DXT1:
        return {GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0};
    case Format::DXT3:
        return {GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0};
    case Format::DXT5:
        return {GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0};
    case Format::D24S8:
        return {GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8};
    case Format::D24X8:
        return {GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT};
    case Format::D16:
        return {GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT};
    case Format::Unknown:
        break;
    }
    return {};
}

bool IsBackBufferFormat(Format format) {
    return format == Format::A8R8G8B8 || format == Format::X8R8G8B8 || format == Format::R5G6B5;
}

int FullLevelCount(int width, int height) {
    int levels = 1;
    for (int edge = std::max(width, height); edge > 1; edge /= 2) {
        ++levels;
    }
    return levels;
}

GLenum CompareOf(CompareFunc func) {
    switch (func) {
    case CompareFunc::Never:
        return GL_NEVER;
    case CompareFunc::Less:
        return GL_LESS;
    case CompareFunc::Equal:
        return GL_EQUAL;
    case CompareFunc::LessEqual:
        return GL_LEQUAL;
    case CompareFunc::Greater:
        return GL_GREATER;
    case CompareFunc::NotEqual:
        return GL_NOTEQUAL;
    case CompareFunc::GreaterEqual:
        return GL_GEQUAL;
    case CompareFunc::Always:
        break;
    }
    return GL_ALWAYS;
}

GLenum BlendOf(Blend blend) {
    switch (blend) {
    case Blend::Zero:
        return GL_ZERO;
    case Blend::One:
        return GL_ONE;
    case Blend::SrcColor:
        return GL_SRC_COLOR;
    case Blend::InvSrcColor:
        return GL_ONE_MINUS_SRC_COLOR;
    case Blend::SrcAlpha:
        return GL_SRC_ALPHA;
    case Blend::InvSrcAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    case Blend::DestAlpha:
        return GL_DST_ALPHA;
    case Blend::InvDestAlpha:
        return GL_ONE_MINUS_DST_ALPHA;
    case Blend::DestColor:
        return GL_DST_COLOR;
    case Blend::InvDestColor:
        return GL_ONE_MINUS_DST_COLOR;
    case Blend::SrcAlphaSat:
        return GL_SRC_ALPHA_SATURATE;
    }
    return GL_ONE;
}

GLenum BlendOpOf(BlendOp op) {
    switch (op) {
    case BlendOp::Subtract:
        return GL_FUNC_SUBTRACT;
    case BlendOp::RevSubtract:
        return GL_FUNC_REVERSE_SUBTRACT;
    case BlendOp::Min:
        return GL_MIN;
    case BlendOp::Max:
        return GL_MAX;
    case BlendOp::Add:
        break;
    }
    return GL_FUNC_ADD;
}

// Mirror-once needs GL 4.4 or ARB_texture_mirror_clamp_to_edge; without it
// the nearest thing is plain mirroring.
GLenum AddressOf(TextureAddress address, bool mirrorClamp) {
    switch (address) {
    case TextureAddress::Mirror:
        return GL_MIRRORED_REPEAT;
    case TextureAddress::Clamp:
        return GL_CLAMP_TO_EDGE;
    case TextureAddress::Border:
        return GL_CLAMP_TO_BORDER;
    case TextureAddress::MirrorOnce:
        return mirrorClamp ? GL_MIRROR_CLAMP_TO_EDGE : GL_MIRRORED_REPEAT;
    case TextureAddress::Wrap:
        break;
    }
    return GL_REPEAT;
}

// Anisotropic filtering is linear filtering with a raised anisotropy limit.
bool IsLinear(TextureFilter filter) {
    return filter == TextureFilter::Linear || filter == TextureFilter::Anisotropic;
}

GLenum MinFilterOf(const SamplerState& state) {
    const bool linear = IsLinear(state.minFilter);
    switch (state.mipFilter) {
    case TextureFilter::Point:
        return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    case TextureFilter::Linear:
    case TextureFilter::Anisotropic:
        return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    case TextureFilter::None:
        break;
    }
    return linear ? GL_LINEAR : GL_NEAREST;
}

struct DrawMode {
    GLenum mode;
    GLsizei count;
};

DrawMode DrawModeOf(PrimitiveType type, std::uint32_t primitives) {
    const auto n = static_cast<GLsizei>(primitives);
    switch (type) {
    case PrimitiveType::PointList:
        return {GL_POINTS, n};
    case PrimitiveType::LineList:
        return {GL_LINES, n * 2};
    case PrimitiveType::LineStrip:
        return {GL_LINE_STRIP, n + 1};
    case PrimitiveType::TriangleStrip:
        return {GL_TRIANGLE_STRIP, n + 2};
    case PrimitiveType::TriangleFan:
        return {GL_TRIANGLE_FAN, n + 2};
    case PrimitiveType::TriangleList:
        break;
    }
    return {GL_TRIANGLES, n * 3};
}

// Bytes kept on the CPU between Lock and Unlock of a buffer.
class GlBuffer {
public:
    GlBuffer(Liveness alive, GLenum target, std::uint32_t size, BufferUsage usage)
        : mAlive(std::move(alive)), mTarget(target), mSize(size), mUsage(usage) {
        glGenBuffers(1, &mName);
        glBindBuffer(mTarget, mName);
        glBufferData(mTarget, size, nullptr, UsageHint());
    }
    ~GlBuffer() {
        if (mAlive->alive) {
            glDeleteBuffers(1, &mName);
        }
        mAlive->vertexSetupDirty = true;
    }

    void* Lock(std::uint32_t offset, std::uint32_t size, std::uint32_t flags) {
        if (mLocked || offset > mSize || (size != 0 && size > mSize - offset)) {
            return nullptr;
        }
        mOffset = offset;
        mLength = size == 0 ? mSize - offset : size;
        mDiscard = (flags & LockDiscard) != 0 && mUsage == BufferUsage::Dynamic;
        mStaging.resize(mLength);
        if ((flags & LockDiscard) == 0) {
            // Keep what is there: a partial write must not clear the rest.
            glBindBuffer(mTarget, mName);
            glGetBufferSubData(mTarget, mOffset, mLength, mStaging.data());
        }
        mLocked = true;
        return mStaging.data();
    }

    Result Unlock() {
        if (!mLocked) {
            return Result::Failed;
        }
        glBindBuffer(mTarget, mName);
        if (mDiscard) {
            glBufferData(mTarget, mSize, nullptr,
                         UsageHint()); // orphan: no wait for draws in flight
        }
        glBufferSubData(mTarget, mOffset, mLength, mStaging.data());
        mLocked = false;
        return Result::Ok;
    }

    GLuint Name() const { return mName; }
    std::uint32_t Size() const { return mSize; }

private:
    GLenum UsageHint() const {
        return mUsage == BufferUsage::Dynamic ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW;
    }

    Liveness mAlive;
    GLenum mTarget;
    GLuint mName = 0;
    std::uint32_t mSize;
    BufferUsage mUsage;
    std::vector<std::uint8_t> mStaging;
    std::uint32_t mOffset = 0;
    std::uint32_t mLength = 0;
    bool mDiscard = false;
    bool mLocked = false;
};

class GlVertexBuffer final : public VertexBuffer {
public:
    GlVertexBuffer(Liveness alive, std::uint32_t size, BufferUsage usage)
        : mBuffer(std::move(alive), GL_ARRAY_BUFFER, size, usage) {}
    std::uint32_t Size() const override { return mBuffer.Size(); }
    void* Lock(std::uint32_t offset, std::uint32_t size, std::uint32_t flags) override {
        return mBuffer.Lock(offset, size, flags);
    }
    Result Unlock() override { return mBuffer.Unlock(); }
    GLuint Name() const { return mBuffer.Name(); }

private:
    GlBuffer mBuffer;
};

class GlIndexBuffer final : public IndexBuffer {
public:
    // Bound to the copy target so that creating one leaves the vertex array's
    // element binding alone.
    GlIndexBuffer(Liveness alive, std::uint32_t size, IndexFormat format, BufferUsage usage)
        : mBuffer(std::move(alive), GL_COPY_WRITE_BUFFER, size, usage), mFormat(format) {}
    std::uint32_t Size() const override { return mBuffer.Size(); }
    IndexFormat GetFormat() const override { return mFormat; }
    void* Lock(std::uint32_t offset, std::uint32_t size, std::uint32_t flags) override {
        return mBuffer.Lock(offset, size, flags);
    }
    Result Unlock() override { return mBuffer.Unlock(); }
    GLuint Name() const { return mBuffer.Name(); }

private:
    GlBuffer mBuffer;
    IndexFormat mFormat;
};

class GlDeclaration final : public VertexDeclaration {
public:
    GlDeclaration(Liveness link, std::span<const VertexElement> elements)
        : mLink(std::move(link)), mElements(elements.begin(), elements.end()) {}
    ~GlDeclaration() override { mLink->vertexSetupDirty = true; }
    std::span<const VertexElement> Elements() const override { return mElements; }

private:
    Liveness mLink;
    std::vector<VertexElement> mElements;
};

class GlProgram final : public Program {
public:
    GlProgram(Liveness alive, GLuint name, std::vector<UniformInfo> uniforms)
        : mAlive(std::move(alive)), mName(name), mUniforms(std::move(uniforms)) {
        mAlphaFunc = glGetUniformLocation(name, "kovra_AlphaFunc");
        mAlphaRef = glGetUniformLocation(name, "kovra_AlphaRef");
    }
    ~GlProgram() override {
        if (mAlive->alive) {
            glDeleteProgram(mName);
        }
    }
    const std::vector<UniformInfo>& Uniforms() const override { return mUniforms; }

    Liveness mAlive;
    GLuint mName;
    std::vector<UniformInfo> mUniforms;
    GLint mAlphaFunc;
    GLint mAlphaRef;
    int mSentAlphaFunc = -1;
    float mSentAlphaRef = -1.0f;
};

UniformType UniformTypeOf(GLenum type) {
    switch (type) {
    case GL_FLOAT:
        return UniformType::Float;
    case GL_FLOAT_VEC2:
        return UniformType::Float2;
    case GL_FLOAT_VEC3:
        return UniformType::Float3;
    case GL_FLOAT_VEC4:
        return UniformType::Float4;
    case GL_FLOAT_MAT3:
        return UniformType::Float3x3;
    case GL_FLOAT_MAT4:
        return UniformType::Float4x4;
    case GL_INT:
        return UniformType::Int;
    case GL_BOOL:
        return UniformType::Bool;
    case GL_SAMPLER_2D:
        return UniformType::Sampler2D;
    case GL_SAMPLER_CUBE:
        return UniformType::SamplerCube;
    default:
        break;
    }
    return UniformType::Other;
}

std::string ShaderLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string text(static_cast<std::size_t>(std::max(length, 1)), '\0');
    glGetShaderInfoLog(shader, length, nullptr, text.data());
    text.resize(std::strlen(text.c_str()));
    return text;
}

GLuint Compile(GLenum stage, const std::string& source, std::string& log) {
    const GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        log += (stage == GL_VERTEX_SHADER ? "vertex shader: " : "fragment shader: ") +
               ShaderLog(shader);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

// A colour or depth image: a renderbuffer (back buffer, depth buffers) or
// level 0 of a texture.
class GlDevice::GlSurface final : public Surface {
public:
    GlSurface(int width, int height, Format format, int samples)
        : mWidth(width), mHeight(height), mFormat(format), mSamples(samples) {}
    ~GlSurface() override {
        if (mOwnsRenderbuffer && mAlive->alive) {
            glDeleteRenderbuffers(1, &mRenderbuffer);
        }
    }

    static std::unique_ptr<GlSurface> Renderbuffer(Liveness alive, int width, int height,
                                                   Format format, int samples) {
        auto surface = std::make_unique<GlSurface>(width, height, format, samples);
        surface->mAlive = std::move(alive);
        glGenRenderbuffers(1, &surface->mRenderbuffer);
        surface->mOwnsRenderbuffer = true;
        surface->Allocate(width, height, format, samples);
        return surface;
    }

    // New storage for a renderbuffer surface; the object itself stays.
    void Allocate(int width, int height, Format format, int samples) {
        mWidth = width;
        mHeight = height;
        mFormat = format;
        mSamples = samples;
        glBindRenderbuffer(GL_RENDERBUFFER, mRenderbuffer);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GlFormatOf(format).internal,
                                         width, height);
    }

    int Width() const override { return mWidth; }
    int Height() const override { return mHeight; }
    Format GetFormat() const override { return mFormat; }
    int Samples() const { return mSamples; }

    void Attach(GLenum framebuffer, GLenum attachment) const {
        if (mRenderbuffer != 0) {
            glFramebufferRenderbuffer(framebuffer, attachment, GL_RENDERBUFFER, mRenderbuffer);
        } else {
            glFramebufferTexture2D(framebuffer, attachment, GL_TEXTURE_2D, mTexture, mLevel);
        }
    }

    GLenum DepthAttachment() const {
        return mFormat == Format::D24S8 ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
    }

    int mWidth, mHeight;
    Format mFormat;
    int mSamples;
    Liveness mAlive;
    GLuint mRenderbuffer = 0;
    bool mOwnsRenderbuffer = false;
    GLuint mTexture = 0;
    int mLevel = 0;
};

namespace {

class GlTexture final : public Texture {
public:
    GlTexture(Liveness alive, int width, int height, int levels, Format format, bool storage)
        : mAlive(std::move(alive)), mWidth(width), mHeight(height), mLevels(levels),
          mFormat(format), mStaging(levels) {
        const GlFormat gl = GlFormatOf(format);
        glGenTextures(1, &mName);
        glBindTexture(GL_TEXTURE_2D, mName);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
        if (format == Format::X8R8G8B8) {
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
        }
        if (storage) {
            glTexStorage2D(GL_TEXTURE_2D, levels, gl.internal, width, height);
        } else {
            for (int level = 0; level < levels; ++level) {
                const int w = std::max(1, width >> level), h = std::max(1, height >> level);
                if (IsCompressed(format)) {
                    const std::vector<std::uint8_t> zero(LevelSize(format, w, h));
                    glCompressedTexImage2D(GL_TEXTURE_2D, level, gl.internal, w, h, 0,
                                           static_cast<GLsizei>(zero.size()), zero.data());
                } else {
                    glTexImage2D(GL_TEXTURE_2D, level, static_cast<GLint>(gl.internal), w, h, 0,
                                 gl.format, gl.type, nullptr);
                }
            }
        }
        for (int level = 0; level < levels; ++level) {
            auto surface = std::make_unique<GlDevice::GlSurface>(
                std::max(1, width >> level), std::max(1, height >> level), format, 0);
            surface->mTexture = mName;
            surface->mLevel = level;
            mSurfaces.push_back(std::move(surface));
        }
    }
    ~GlTexture() override {
        if (mAlive->alive) {
            glDeleteTextures(1, &mName);
        }
    }

    int LevelCount() const override { return mLevels; }
    Format GetFormat() const override { return mFormat; }
    int Width() const override { return mWidth; }
    int Height() const override { return mHeight; }

    LockedRect Lock(int level) override {
        if (level < 0 || level >= mLevels || !mStaging[level].empty()) {
            return {};
        }
        const int w = std::max(1, mWidth >> level), h = std::max(1, mHeight >> level);
        mStaging[level].assign(LevelSize(mFormat, w, h), 0);
        return {mStaging[level].data(), RowPitch(mFormat, w)};
    }

    Result Unlock(int level) override {
        if (level < 0 || level >= mLevels || mStaging[level].empty()) {
            return Result::Failed;
        }
        const int w = std::max(1, mWidth >> level), h = std::max(1, mHeight >> level);
        glBindTexture(GL_TEXTURE_2D, mName);
        Upload(GL_TEXTURE_2D, mFormat, level, w, h, mStaging[level]);
        std::vector<std::uint8_t>().swap(mStaging[level]);
        return Result::Ok;
    }

    Surface* GetSurfaceLevel(int level) override {
        return level >= 0 && level < mLevels ? mSurfaces[level].get() : nullptr;
    }

    static void Upload(GLenum target, Format format, int level, int w, int h,
                       const std::vector<std::uint8_t>& bytes) {
        const GlFormat gl = GlFormatOf(format);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        if (IsCompressed(format)) {
            glCompressedTexSubImage2D(target, level, 0, 0, w, h, gl.internal,
                                      static_cast<GLsizei>(bytes.size()), bytes.data());
        } else {
            glTexSubImage2D(target, level, 0, 0, w, h, gl.format, gl.type, bytes.data());
        }
    }

    GLuint mName = 0;

private:
    Liveness mAlive;
    int mWidth, mHeight, mLevels;
    Format mFormat;
    std::vector<std::vector<std::uint8_t>> mStaging;
    std::vector<std::unique_ptr<GlDevice::GlSurface>> mSurfaces;
};

// Faces in Direct3D's order, which is OpenGL's; both store each face top row
// first, so face images go up unchanged.
class GlCubeTexture final : public CubeTexture {
public:
    GlCubeTexture(Liveness alive, int edge, int levels, Format format, bool storage)
        : mAlive(std::move(alive)), mEdge(edge), mLevels(levels), mFormat(format),
          mStaging(6 * levels) {
        const GlFormat gl = GlFormatOf(format);
        glGenTextures(1, &mName);
        glBindTexture(GL_TEXTURE_CUBE_MAP, mName);
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAX_LEVEL, levels - 1);
        if (format == Format::X8R8G8B8) {
            glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_SWIZZLE_A, GL_ONE);
        }
        if (storage) {
            glTexStorage2D(GL_TEXTURE_CUBE_MAP, levels, gl.internal, edge, edge);
            return;
        }
        for (int face = 0; face < 6; ++face) {
            for (int level = 0; level < levels; ++level) {
                const int e = std::max(1, edge >> level);
                const std::vector<std::uint8_t> zero(LevelSize(format, e, e));
                const GLenum target = GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(face);
                if (IsCompressed(format)) {
                    glCompressedTexImage2D(target, level, gl.internal, e, e, 0,
                                           static_cast<GLsizei>(zero.size()), zero.data());
                } else {
                    glTexImage2D(target, level, static_cast<GLint>(gl.internal), e, e, 0, gl.format,
                                 gl.type, zero.data());
                }
            }
        }
    }
    ~GlCubeTexture() override {
        if (mAlive->alive) {
            glDeleteTextures(1, &mName);
        }
    }

    int LevelCount() const override { return mLevels; }
    Format GetFormat() const override { return mFormat; }
    int EdgeLength() const override { return mEdge; }

    LockedRect Lock(CubeFace face, int level) override {
        const int index = Index(face, level);
        if (index < 0 || !mStaging[index].empty()) {
            return {};
        }
        const int e = std::max(1, mEdge >> level);
        mStaging[index].assign(LevelSize(mFormat, e, e), 0);
        return {mStaging[index].data(), RowPitch(mFormat, e)};
    }

    Result Unlock(CubeFace face, int level) override {
        const int index = Index(face, level);
        if (index < 0 || mStaging[index].empty()) {
            return Result::Failed;
        }
        const int e = std::max(1, mEdge >> level);
        glBindTexture(GL_TEXTURE_CUBE_MAP, mName);
        GlTexture::Upload(GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(face), mFormat,
                          level, e, e, mStaging[index]);
        std::vector<std::uint8_t>().swap(mStaging[index]);
        return Result::Ok;
    }

    GLuint mName = 0;

private:
    int Index(CubeFace face, int level) const {
        const int f = static_cast<int>(face);
        return f >= 0 && f < 6 && level >= 0 && level < mLevels ? f * mLevels + level : -1;
    }

    Liveness mAlive;
    int mEdge, mLevels;
    Format mFormat;
    std::vector<std::vector<std::uint8_t>> mStaging;
};

} // namespace

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
};

GlDevice::GlDevice(SDL_Window* window, void* context)
    : mWindow(window), mContext(context), mState(new State) {}

std::unique_ptr<GlDevice> GlDevice::Create(SDL_Window* window,
                                           const PresentParameters& parameters) {
    auto& log = *core::Logging::Get();
    if (window == nullptr) {
        log.Error("No window to create the OpenGL device on", kSource, __LINE__);
    }
    SDL_GLContext context = nullptr;
    for (const int minor : {5, 3}) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, minor == 5 ? 4 : 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, minor);
        context = SDL_GL_CreateContext(window);
        if (context != nullptr) {
            break;
        }
    }
    if (context == nullptr) {
        // An old driver may still offer a legacy context; report what it is.
        SDL_GL_ResetAttributes();
        context = SDL_GL_CreateContext(window);
        std::string found = "none";
        if (context != nullptr) {
            const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
            found = version != nullptr ? version : "unknown";
            SDL_GL_DeleteContext(context);
        }
        log.Error("OpenGL 3.3 core with clip control is required, found OpenGL " + found + " (" +
                      SDL_GetError() + ")",
                  kSource, __LINE__);
    }
    PinLoadedLibraries();
    std::unique_ptr<GlDevice> device(new GlDevice(window, context));
    const int version = epoxy_gl_version();
    if (version < 33 || (version < 45 && !epoxy_has_gl_extension("GL_ARB_clip_control"))) {
        const auto* text = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        log.Error(std::string("OpenGL 3.3 core with clip control is required, found OpenGL ") +
                      (text != nullptr ? text : "unknown"),
                  kSource, __LINE__);
    }
    State& s = *device->mState;
    s.textureStorage = version >= 42 || epoxy_has_gl_extension("GL_ARB_texture_storage");
    s.programUniform = version >= 41 || epoxy_has_gl_extension("GL_ARB_separate_shader_objects");
    s.mirrorClamp = version >= 44 || epoxy_has_gl_extension("GL_ARB_texture_mirror_clamp_to_edge");
    if (version >= 46 || epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic") ||
        epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic")) {
        glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY, &s.maxAnisotropy);
    }
    SDL_GL_SetSwapInterval(parameters.presentInterval > 0 ? 1 : 0);

    DeviceCaps& caps = device->mCaps;
    caps.pixelShaderVersion = 0xFFFF0300;
    caps.vertexShaderVersion = 0xFFFF0300;
    caps.vertexProcessingCaps = 0x17B;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &caps.maxTextureSize);
    glGetIntegerv(GL_MAX_SAMPLES, &caps.maxSamples);
    caps.driver = std::string("OpenGL ") + reinterpret_cast<const char*>(glGetString(GL_VERSION));
    caps.description = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    caps.deviceName = reinterpret_cast<const char*>(glGetString(GL_VENDOR));

    // Direct3D's frame: image row 0 on top, depth [0, 1], clockwise front faces.
    glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
    glFrontFace(GL_CW);
    glGenVertexArrays(1, &s.vertexArray);
    glBindVertexArray(s.vertexArray);
    glGenFramebuffers(1, &s.targetFramebuffer);
    glGenFramebuffers(1, &s.readFramebuffer);
    glGenFramebuffers(1, &s.drawFramebuffer);
    for (auto& transform : s.transforms) {
        transform.fill(0.0f);
        transform[0] = transform[5] = transform[10] = transform[15] = 1.0f;
    }
    device->mParameters = parameters;
    device->CreateBackBuffer();
    device->ApplyRenderStates(RenderStates{});
    return device;
}

GlDevice::~GlDevice() {
    // Deleting the context deletes every object made in it.
    mState->link->alive = false;
    mState.reset();
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(mContext));
}

void GlDevice::CreateBackBuffer() {
    State& s = *mState;
    int width = mParameters.width, height = mParameters.height;
    if (width <= 0 || height <= 0) {
        SDL_GL_GetDrawableSize(mWindow, &width, &height);
    }
    if (!IsBackBufferFormat(mParameters.backBufferFormat)) {
        mParameters.backBufferFormat = Format::X8R8G8B8;
    }
    const int samples = mParameters.multiSample > 1 ? mParameters.multiSample : 0;
    const Format depthFormat = IsDepthFormat(mParameters.depthStencilFormat)
                                   ? mParameters.depthStencilFormat
                                   : Format::D24S8;
    // Whoever holds the back buffer or depth buffer keeps holding them across Reset.
    if (s.backBuffer) {
        s.backBuffer->Allocate(width, height, mParameters.backBufferFormat, samples);
        s.depthStencil->Allocate(width, height, depthFormat, samples);
    } else {
        s.backBuffer =
            GlSurface::Renderbuffer(s.link, width, height, mParameters.backBufferFormat, samples);
        s.depthStencil = GlSurface::Renderbuffer(s.link, width, height, depthFormat, samples);
    }
    s.fallbackDepth.reset();
    s.resolve = samples > 0 ? GlSurface::Renderbuffer(s.link, width, height,
                                                      mParameters.backBufferFormat, 0)
                            : nullptr;
    s.renderTarget = s.backBuffer.get();
    s.depthTarget = mParameters.autoDepthStencil ? s.depthStencil.get() : nullptr;
    s.targetsDirty = true;
    BindTargets();
    if (glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        core::Logging::Get()->Error("Could not create the back buffer", kSource, __LINE__);
    }
    glViewport(0, 0, width, height);
}

void GlDevice::BindTargets() {
    State& s = *mState;
    if (!s.targetsDirty) {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, s.targetFramebuffer);
        return;
    }
    auto* colour = static_cast<GlSurface*>(s.renderTarget);
    auto* depth = static_cast<GlSurface*>(s.depthTarget);
    if (depth != nullptr &&
        (depth->Samples() != colour->Samples() || depth->Width() < colour->Width() ||
         depth->Height() < colour->Height())) {
        // Direct3D leaves such a pair undefined; give the target a depth buffer of its own.
        if (!s.fallbackDepth || s.fallbackDepth->Width() != colour->Width() ||
            s.fallbackDepth->Height() != colour->Height() ||
            s.fallbackDepth->Samples() != colour->Samples()) {
            s.fallbackDepth = GlSurface::Renderbuffer(s.link, colour->Width(), colour->Height(),
                                                      Format::D24S8, colour->Samples());
        }
        depth = s.fallbackDepth.get();
    }
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, s.targetFramebuffer);
    colour->Attach(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0);
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
    if (depth != nullptr) {
        depth->Attach(GL_DRAW_FRAMEBUFFER, depth->DepthAttachment());
    }
    s.targetsDirty = false;
}

GlDevice::GlSurface* GlDevice::Resolved(GlSurface* surface) {
    State& s = *mState;
    if (surface->Samples() == 0) {
        return surface;
    }
    GlSurface* resolve = s.resolve.get();
    if (surface != s.backBuffer.get() || resolve == nullptr) {
        return nullptr;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s.readFramebuffer);
    surface->Attach(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, s.drawFramebuffer);
    resolve->Attach(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0);
    glBlitFramebuffer(0, 0, surface->Width(), surface->Height(), 0, 0, resolve->Width(),
                      resolve->Height(), GL_COLOR_BUFFER_BIT, GL_NEAREST);
    return resolve;
}

bool GlDevice::Inactive() const {
    return !mState->focused || mState->minimized;
}

bool GlDevice::CheckMultiSample(Format format, bool, int samples) const {
    if (!IsBackBufferFormat(format)) {
        return false;
    }
    return samples <= 1 || samples <= mCaps.maxSamples;
}

Result GlDevice::TestCooperativeLevel() {
    if (!mState->lost) {
        return Result::Ok;
    }
    return Inactive() ? Result::DeviceLost : Result::DeviceNotReset;
}

Result GlDevice::Reset(const PresentParameters& parameters) {
    State& s = *mState;
    if (s.lost && Inactive()) {
        return Result::DeviceLost;
    }
    mParameters = parameters;
    CreateBackBuffer();
    s.lost = false;
    s.inScene = false;
    ApplyRenderStates(RenderStates{});
    return Result::Ok;
}

void GlDevice::OnWindowMessage(const WindowMessage& message) {
    State& s = *mState;
    switch (message.message) {
    case WmSetFocus:
        s.focused = true;
        break;
    case WmKillFocus:
        s.focused = false;
        break;
    case WmSize:
        s.minimized = message.wParam == kSizeMinimized;
        break;
    default:
        return;
    }
    if (!mParameters.windowed && Inactive()) {
        s.lost = true;
    }
}

std::unique_ptr<VertexBuffer> GlDevice::CreateVertexBuffer(std::uint32_t size, BufferUsage usage) {
    if (size == 0) {
        return nullptr;
    }
    return std::make_unique<GlVertexBuffer>(mState->link, size, usage);
}

std::unique_ptr<IndexBuffer> GlDevice::CreateIndexBuffer(std::uint32_t size, IndexFormat format,
                                                         BufferUsage usage) {
    return size == 0 ? nullptr : std::make_unique<GlIndexBuffer>(mState->link, size, format, usage);
}

std::unique_ptr<VertexDeclaration>
GlDevice::CreateVertexDeclaration(std::span<const VertexElement> elements) {
    for (const VertexElement& element : elements) {
        if (AttributeSlot(element.usage, element.usageIndex) < 0 ||
            static_cast<std::uint8_t>(element.type) > static_cast<std::uint8_t>(DeclType::UByte4)) {
            return nullptr;
        }
    }
    return elements.empty() ? nullptr : std::make_unique<GlDeclaration>(mState->link, elements);
}

std::unique_ptr<Texture> GlDevice::CreateTexture(int width, int height, int levels, Format format,
                                                 TextureUsage usage) {
    if (width <= 0 || height <= 0 || width > mCaps.maxTextureSize ||
        height > mCaps.maxTextureSize || GlFormatOf(format).internal == 0 ||
        IsDepthFormat(format) ||
        (IsCompressed(format) && (usage == TextureUsage::RenderTarget ||
                                  !epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc")))) {
        return nullptr;
    }
    const int full = FullLevelCount(width, height);
    const int count =
        usage == TextureUsage::RenderTarget ? 1 : (levels <= 0 ? full : std::min(levels, full));
    auto texture = std::make_unique<GlTexture>(mState->link, width, height, count, format,
                                               mState->textureStorage);
    mState->unitTargets.fill(0); // binding for creation disturbed the units' bindings
    return glGetError() == GL_NO_ERROR ? std::move(texture) : nullptr;
}

std::unique_ptr<CubeTexture> GlDevice::CreateCubeTexture(int edgeLength, int levels,
                                                         Format format) {
    if (edgeLength <= 0 || edgeLength > mCaps.maxTextureSize || GlFormatOf(format).internal == 0 ||
        IsDepthFormat(format) ||
        (IsCompressed(format) && !epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc"))) {
        return nullptr;
    }
    const int full = FullLevelCount(edgeLength, edgeLength);
    const int count = levels <= 0 ? full : std::min(levels, full);
    auto texture = std::make_unique<GlCubeTexture>(mState->link, edgeLength, count, format,
                                                   mState->textureStorage);
    mState->unitTargets.fill(0);
    return glGetError() == GL_NO_ERROR ? std::move(texture) : nullptr;
}

std::unique_ptr<Surface> GlDevice::CreateDepthStencilSurface(int width, int height, Format format,
                                                             int multiSample) {
    if (width <= 0 || height <= 0 || !IsDepthFormat(format)) {
        return nullptr;
    }
    auto surface = GlSurface::Renderbuffer(mState->link, width, height, format,
                                           multiSample > 1 ? multiSample : 0);
    return glGetError() == GL_NO_ERROR ? std::move(surface) : nullptr;
}

ProgramResult GlDevice::CreateProgram(const ProgramSource& source) {
    ProgramResult result;
    const GLuint vertex = Compile(GL_VERTEX_SHADER, source.vertex, result.log);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, source.fragment, result.log);
    if (vertex == 0 || fragment == 0) {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return result;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    for (const AttributeBinding& binding : source.attributes) {
        const int slot = AttributeSlot(binding.usage, binding.usageIndex);
        if (slot >= 0) {
            glBindAttribLocation(program, static_cast<GLuint>(slot), binding.name.c_str());
        }
    }
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        GLint length = 0;
        glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
        std::string text(static_cast<std::size_t>(std::max(length, 1)), '\0');
        glGetProgramInfoLog(program, length, nullptr, text.data());
        text.resize(std::strlen(text.c_str()));
        result.log += "link: " + text;
        glDeleteProgram(program);
        return result;
    }
    GLint count = 0, longest = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    glGetProgramiv(program, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
    std::vector<UniformInfo> uniforms;
    std::vector<char> name(static_cast<std::size_t>(std::max(longest, 1)));
    for (GLint i = 0; i < count; ++i) {
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, static_cast<GLuint>(i), longest, nullptr, &size, &type,
                           name.data());
        UniformInfo info;
        info.name = name.data();
        info.location = glGetUniformLocation(program, info.name.c_str());
        if (info.location < 0) {
            continue; // a member of a uniform block
        }
        if (info.name.size() > 3 && info.name.ends_with("[0]")) {
            info.name.resize(info.name.size() - 3);
        }
        info.type = UniformTypeOf(type);
        info.arraySize = size;
        uniforms.push_back(std::move(info));
    }
    result.program = std::make_unique<GlProgram>(mState->link, program, std::move(uniforms));
    return result;
}

Surface* GlDevice::GetBackBuffer() {
    return mState->backBuffer.get();
}

Surface* GlDevice::GetDepthStencilSurface() {
    return mState->depthStencil.get();
}

Result GlDevice::SetRenderTarget(int index, Surface* surface) {
    State& s = *mState;
    if (index != 0 || surface == nullptr || IsDepthFormat(surface->GetFormat()) ||
        IsCompressed(surface->GetFormat())) {
        return Result::Failed;
    }
    s.renderTarget = surface;
    s.targetsDirty = true;
    glViewport(0, 0, surface->Width(), surface->Height());
    return Result::Ok;
}

Surface* GlDevice::GetRenderTarget(int index) {
    return index == 0 ? mState->renderTarget : nullptr;
}

Result GlDevice::SetDepthStencilSurface(Surface* surface) {
    if (surface != nullptr && !IsDepthFormat(surface->GetFormat())) {
        return Result::Failed;
    }
    mState->depthTarget = surface;
    mState->targetsDirty = true;
    return Result::Ok;
}

Result GlDevice::StretchRect(Surface* source, Surface* destination) {
    if (source == nullptr || destination == nullptr || source == destination) {
        return Result::Failed;
    }
    for (Surface* surface : {source, destination}) {
        if (IsCompressed(surface->GetFormat()) || IsDepthFormat(surface->GetFormat())) {
            return Result::Failed;
        }
    }
    State& s = *mState;
    GlSurface* from = Resolved(static_cast<GlSurface*>(source));
    auto* to = static_cast<GlSurface*>(destination);
    if (from == nullptr) {
        return Result::Failed;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s.readFramebuffer);
    from->Attach(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, s.drawFramebuffer);
    to->Attach(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0);
    glBlitFramebuffer(0, 0, from->Width(), from->Height(), 0, 0, to->Width(), to->Height(),
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    BindTargets();
    return glGetError() == GL_NO_ERROR ? Result::Ok : Result::Failed;
}

Result GlDevice::Clear(std::uint32_t flags, std::uint32_t color, float z, std::uint32_t stencil) {
    const State& s = *mState;
    BindTargets();
    GLbitfield bits = 0;
    if (flags & ClearTarget) {
        bits |= GL_COLOR_BUFFER_BIT;
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(static_cast<float>((color >> 16) & 0xFF) / 255.0f,
                     static_cast<float>((color >> 8) & 0xFF) / 255.0f,
                     static_cast<float>(color & 0xFF) / 255.0f,
                     static_cast<float>(color >> 24) / 255.0f);
    }
    if (flags & ClearZBuffer) {
        bits |= GL_DEPTH_BUFFER_BIT;
        glDepthMask(GL_TRUE);
        glClearDepth(z);
    }
    if (flags & ClearStencil) {
        bits |= GL_STENCIL_BUFFER_BIT;
        glStencilMask(0xFF);
        glClearStencil(static_cast<GLint>(stencil));
    }
    if (bits == 0) {
        return Result::Failed;
    }
    glClear(bits);
    const std::uint32_t mask = s.states.colorWriteEnable;
    glColorMask(mask & ColorWriteRed, mask & ColorWriteGreen, mask & ColorWriteBlue,
                mask & ColorWriteAlpha);
    glDepthMask(s.states.zWriteEnable ? GL_TRUE : GL_FALSE);
    return Result::Ok;
}

Result GlDevice::BeginScene() {
    if (mState->inScene) {
        return Result::Failed;
    }
    mState->inScene = true;
    return Result::Ok;
}

Result GlDevice::EndScene() {
    if (!mState->inScene) {
        return Result::Failed;
    }
    mState->inScene = false;
    return Result::Ok;
}

Result GlDevice::Present() {
    State& s = *mState;
    if (s.lost) {
        return Result::DeviceLost;
    }
    GlSurface* image = Resolved(s.backBuffer.get());
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(mWindow, &width, &height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, s.readFramebuffer);
    image->Attach(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    // The window's row 0 is its bottom row: flip.
    const bool same = width == image->Width() && height == image->Height();
    glBlitFramebuffer(0, 0, image->Width(), image->Height(), 0, height, width, 0,
                      GL_COLOR_BUFFER_BIT, same ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(mWindow);
    BindTargets();
    return Result::Ok;
}

Result GlDevice::SaveSurfaceToPng(Surface* surface, const std::string& path) {
    std::vector<std::uint8_t> pixels;
    if (ReadSurface(surface, pixels) != Result::Ok) {
        return Result::Failed;
    }
    const int width = surface->Width(), height = surface->Height();
    // Row 0 of every surface is the image's top row, as PNG wants it.
    return stbi_write_png(path.c_str(), width, height, 4, pixels.data(), width * 4) != 0
               ? Result::Ok
               : Result::Failed;
}

Result GlDevice::ReadSurface(Surface* surface, std::vector<std::uint8_t>& rgba) {
    if (surface == nullptr || IsCompressed(surface->GetFormat()) ||
        IsDepthFormat(surface->GetFormat())) {
        return Result::Failed;
    }
    GlSurface* image = Resolved(static_cast<GlSurface*>(surface));
    if (image == nullptr) {
        return Result::Failed;
    }
    const int width = image->Width(), height = image->Height();
    rgba.resize(static_cast<std::size_t>(width) * height * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, mState->readFramebuffer);
    image->Attach(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const Format format = image->GetFormat();
    if (format != Format::A8R8G8B8) {
        const bool single = format == Format::R32F;
        for (std::size_t i = 0; i < rgba.size(); i += 4) {
            if (single) {
                rgba[i + 1] = rgba[i + 2] = rgba[i];
            }
            rgba[i + 3] = 255;
        }
    }
    BindTargets();
    return Result::Ok;
}

// The device keeps the transforms for whoever asks; drawing takes its
// matrices from uniforms.
void GlDevice::SetTransform(TransformState state, const math::Matrix4x4& matrix) {
    std::copy(matrix.m, matrix.m + 16, mState->transforms[TransformIndex(state)].begin());
}

void GlDevice::GetTransform(TransformState state, math::Matrix4x4& matrix) const {
    const auto& stored = mState->transforms[TransformIndex(state)];
    std::copy(stored.begin(), stored.end(), matrix.m);
}

void GlDevice::SetCullMode(CullMode mode) {
    mState->states.cullMode = mode;
    if (mode == CullMode::None) {
        glDisable(GL_CULL_FACE);
        return;
    }
    glEnable(GL_CULL_FACE);
    glCullFace(mode == CullMode::Clockwise ? GL_FRONT : GL_BACK);
}

void GlDevice::ApplyRenderStates(const RenderStates& states) {
    mState->states = states;
    if (states.zEnable) {
        glEnable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(states.zWriteEnable ? GL_TRUE : GL_FALSE);
    glDepthFunc(CompareOf(states.zFunc));
    SetCullMode(states.cullMode);
    if (states.alphaBlendEnable) {
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    glBlendFunc(BlendOf(states.srcBlend), BlendOf(states.destBlend));
    glBlendEquation(BlendOpOf(states.blendOp));
    const std::uint32_t mask = states.colorWriteEnable;
    glColorMask(mask & ColorWriteRed, mask & ColorWriteGreen, mask & ColorWriteBlue,
                mask & ColorWriteAlpha);
    glPolygonMode(GL_FRONT_AND_BACK, states.fillMode == FillMode::Wireframe ? GL_LINE
                                     : states.fillMode == FillMode::Point   ? GL_POINT
                                                                            : GL_FILL);
}

void GlDevice::SetVertexDeclaration(VertexDeclaration* declaration) {
    if (declaration != mState->declaration) {
        mState->declaration = static_cast<GlDeclaration*>(declaration);
        mState->link->vertexSetupDirty = true;
    }
}

void GlDevice::SetStreamSource(VertexBuffer* buffer, std::uint32_t offset, std::uint32_t stride) {
    State& s = *mState;
    if (buffer != s.stream || offset != s.streamOffset || stride != s.streamStride) {
        s.stream = static_cast<GlVertexBuffer*>(buffer);
        s.streamOffset = offset;
        s.streamStride = stride;
        s.link->vertexSetupDirty = true;
    }
}

void GlDevice::SetIndices(IndexBuffer* buffer) {
    mState->indices = static_cast<GlIndexBuffer*>(buffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer != nullptr ? mState->indices->Name() : 0);
}

bool GlDevice::PrepareDraw(bool indexed) {
    State& s = *mState;
    if (!s.inScene || s.program == nullptr || s.declaration == nullptr || s.stream == nullptr ||
        (indexed && s.indices == nullptr)) {
        return false;
    }
    BindTargets();
    if (s.link->vertexSetupDirty) {
        glBindBuffer(GL_ARRAY_BUFFER, s.stream->Name());
        std::uint32_t slots = 0;
        for (const VertexElement& element : s.declaration->Elements()) {
            const auto slot = static_cast<GLuint>(AttributeSlot(element.usage, element.usageIndex));
            const auto* offset =
                reinterpret_cast<const void*>(std::uintptr_t{s.streamOffset} + element.offset);
            const auto stride = static_cast<GLsizei>(s.streamStride);
            switch (element.type) {
            case DeclType::Color:
                glVertexAttribPointer(slot, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, offset);
                break;
            case DeclType::UByte4:
                glVertexAttribPointer(slot, 4, GL_UNSIGNED_BYTE, GL_FALSE, stride, offset);
                break;
            default:
                glVertexAttribPointer(slot, static_cast<GLint>(element.type) + 1, GL_FLOAT,
                                      GL_FALSE, stride, offset);
                break;
            }
            glEnableVertexAttribArray(slot);
            slots |= 1u << slot;
        }
        for (GLuint slot = 0; slot < kAttributeSlots; ++slot) {
            if ((s.enabledSlots & ~slots) & (1u << slot)) {
                glDisableVertexAttribArray(slot);
            }
        }
        s.enabledSlots = slots;
        s.link->vertexSetupDirty = false;
    }
    GlProgram& program = *s.program;
    if (program.mAlphaFunc >= 0) {
        const int func =
            static_cast<int>(s.states.alphaTestEnable ? s.states.alphaFunc : CompareFunc::Always);
        const float ref = static_cast<float>(s.states.alphaRef) / 255.0f;
        if (func != program.mSentAlphaFunc || ref != program.mSentAlphaRef) {
            glUniform1i(program.mAlphaFunc, func);
            glUniform1f(program.mAlphaRef, ref);
            program.mSentAlphaFunc = func;
            program.mSentAlphaRef = ref;
        }
    }
    return true;
}

Result GlDevice::DrawIndexedPrimitive(PrimitiveType type, int baseVertexIndex, std::uint32_t,
                                      std::uint32_t, std::uint32_t startIndex,
                                      std::uint32_t primitiveCount) {
    if (!PrepareDraw(true)) {
        return Result::Failed;
    }
    const bool wide = mState->indices->GetFormat() == IndexFormat::Index32;
    const DrawMode draw = DrawModeOf(type, primitiveCount);
    const auto* offset =
        reinterpret_cast<const void*>(std::uintptr_t{startIndex} * (wide ? 4u : 2u));
    glDrawElementsBaseVertex(draw.mode, draw.count, wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                             offset, baseVertexIndex);
    return Result::Ok;
}

Result GlDevice::DrawPrimitive(PrimitiveType type, std::uint32_t startVertex,
                               std::uint32_t primitiveCount) {
    if (!PrepareDraw(false)) {
        return Result::Failed;
    }
    const DrawMode draw = DrawModeOf(type, primitiveCount);
    glDrawArrays(draw.mode, static_cast<GLint>(startVertex), draw.count);
    return Result::Ok;
}

void GlDevice::SetProgram(Program* program) {
    mState->program = static_cast<GlProgram*>(program);
    glUseProgram(program != nullptr ? mState->program->mName : 0);
}

void GlDevice::SetUniform(Program* program, int location, UniformType type, const void* values,
                          int count) {
    if (program == nullptr || location < 0 || count <= 0) {
        return;
    }
    const GLuint name = static_cast<GlProgram*>(program)->mName;
    const bool bound = mState->program == program;
    if (!mState->programUniform && !bound) {
        glUseProgram(name);
    }
    const auto* f = static_cast<const GLfloat*>(values);
    const auto* i = static_cast<const GLint*>(values);
    if (mState->programUniform) {
        switch (type) {
        case UniformType::Float:
            glProgramUniform1fv(name, location, count, f);
            break;
        case UniformType::Float2:
            glProgramUniform2fv(name, location, count, f);
            break;
        case UniformType::Float3:
            glProgramUniform3fv(name, location, count, f);
            break;
        case UniformType::Float4:
            glProgramUniform4fv(name, location, count, f);
            break;
        case UniformType::Float3x3:
            glProgramUniformMatrix3fv(name, location, count, GL_TRUE, f);
            break;
        case UniformType::Float4x4:
            glProgramUniformMatrix4fv(name, location, count, GL_TRUE, f);
            break;
        case UniformType::Int:
        case UniformType::Bool:
        case UniformType::Sampler2D:
        case UniformType::SamplerCube:
            glProgramUniform1iv(name, location, count, i);
            break;
        case UniformType::Other:
            break;
        }
        return;
    }
    switch (type) {
    case UniformType::Float:
        glUniform1fv(location, count, f);
        break;
    case UniformType::Float2:
        glUniform2fv(location, count, f);
        break;
    case UniformType::Float3:
        glUniform3fv(location, count, f);
        break;
    case UniformType::Float4:
        glUniform4fv(location, count, f);
        break;
    case UniformType::Float3x3:
        glUniformMatrix3fv(location, count, GL_TRUE, f);
        break;
    case UniformType::Float4x4:
        glUniformMatrix4fv(location, count, GL_TRUE, f);
        break;
    case UniformType::Int:
    case UniformType::Bool:
    case UniformType::Sampler2D:
    case UniformType::SamplerCube:
        glUniform1iv(location, count, i);
        break;
    case UniformType::Other:
        break;
    }
    if (!bound) {
        glUseProgram(mState->program != nullptr ? mState->program->mName : 0);
    }
}

void GlDevice::SetTexture(int unit, BaseTexture* texture) {
    State& s = *mState;
    if (unit < 0 || unit >= static_cast<int>(s.unitTargets.size())) {
        return;
    }
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    GLenum target = 0;
    GLuint name = 0;
    if (auto* flat = dynamic_cast<GlTexture*>(texture)) {
        target = GL_TEXTURE_2D;
        name = flat->mName;
    } else if (auto* cube = dynamic_cast<GlCubeTexture*>(texture)) {
        target = GL_TEXTURE_CUBE_MAP;
        name = cube->mName;
    }
    if (s.unitTargets[unit] != 0 && s.unitTargets[unit] != target) {
        glBindTexture(s.unitTargets[unit], 0);
    }
    if (target != 0) {
        glBindTexture(target, name);
    } else {
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    }
    s.unitTargets[unit] = target;
    if (s.samplers[unit] == 0) {
        SetSamplerState(unit, s.samplerStates[unit]);
    }
}

void GlDevice::SetSamplerState(int unit, const SamplerState& state) {
    State& s = *mState;
    if (unit < 0 || unit >= static_cast<int>(s.samplers.size())) {
        return;
    }
    GLuint& sampler = s.samplers[unit];
    if (sampler != 0 && s.samplerStates[unit] == state) {
        return;
    }
    if (sampler == 0) {
        glGenSamplers(1, &sampler);
        glBindSampler(static_cast<GLuint>(unit), sampler);
        const GLfloat transparentBlack[4] = {0, 0, 0, 0};
        glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, transparentBlack);
    }
    s.samplerStates[unit] = state;
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(MinFilterOf(state)));
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                        IsLinear(state.magFilter) ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S,
                        static_cast<GLint>(AddressOf(state.addressU, s.mirrorClamp)));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T,
                        static_cast<GLint>(AddressOf(state.addressV, s.mirrorClamp)));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R,
                        static_cast<GLint>(AddressOf(state.addressW, s.mirrorClamp)));
    if (s.maxAnisotropy > 0) {
        const bool anisotropic = state.minFilter == TextureFilter::Anisotropic ||
                                 state.magFilter == TextureFilter::Anisotropic;
        const float limit =
            anisotropic ? std::clamp(static_cast<float>(state.maxAnisotropy), 1.0f, s.maxAnisotropy)
                        : 1.0f;
        glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY, limit);
    }
}

} // namespace engine::platform
