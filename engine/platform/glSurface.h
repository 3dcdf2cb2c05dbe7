#pragma once

#include "engine/platform/glDevice.h"
#include "engine/platform/glDeviceLink.h"
#include "engine/platform/glFormat.h"

#include <epoxy/gl.h>

#include <memory>

namespace engine::platform {

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

} // namespace engine::platform
