#include "engine/platform/glDevice.h"

#include "engine/core/log.h"
#include "engine/platform/glDeviceState.h"
#include "engine/platform/libraryPin.h"

#include <SDL.h>
#include <epoxy/gl.h>

namespace engine::platform {

namespace {

const char* const kSource = ".\\glDevice.cpp";

} // namespace

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
    s.viewport = {0, 0, width, height};
    s.viewportPartial = false;
    glViewport(0, 0, width, height);
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
    // Direct3D clears the viewport only; OpenGL clears what the scissor leaves.
    if (s.viewportPartial) {
        const Rect& v = s.viewport;
        glEnable(GL_SCISSOR_TEST);
        glScissor(v.left, v.top, v.right - v.left, v.bottom - v.top);
    }
    glClear(bits);
    if (s.viewportPartial) {
        glDisable(GL_SCISSOR_TEST);
    }
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
    s.targetBound = false;
    // The window's row 0 is its bottom row: flip.
    const bool same = width == image->Width() && height == image->Height();
    glBlitFramebuffer(0, 0, image->Width(), image->Height(), 0, height, width, 0,
                      GL_COLOR_BUFFER_BIT, same ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(mWindow);
    BindTargets();
    return Result::Ok;
}

} // namespace engine::platform
