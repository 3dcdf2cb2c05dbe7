#include "engine/platform/glDeviceState.h"

#include <stb_image_write.h>

namespace engine::platform {

std::unique_ptr<Surface> GlDevice::CreateDepthStencilSurface(int width, int height, Format format,
                                                             int multiSample) {
    if (width <= 0 || height <= 0 || !IsDepthFormat(format)) {
        return nullptr;
    }
    auto surface = GlSurface::Renderbuffer(mState->link, width, height, format,
                                           multiSample > 1 ? multiSample : 0);
    return glGetError() == GL_NO_ERROR ? std::move(surface) : nullptr;
}

void GlDevice::BindTargets() {
    State& s = *mState;
    if (!s.targetsDirty) {
        if (!s.targetBound) {
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, s.targetFramebuffer);
            s.targetBound = true;
        }
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
    s.targetBound = true;
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
    s.targetBound = false;
    resolve->Attach(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0);
    glBlitFramebuffer(0, 0, surface->Width(), surface->Height(), 0, 0, resolve->Width(),
                      resolve->Height(), GL_COLOR_BUFFER_BIT, GL_NEAREST);
    return resolve;
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
    s.viewport = {0, 0, surface->Width(), surface->Height()};
    s.viewportPartial = false;
    glViewport(0, 0, surface->Width(), surface->Height());
    return Result::Ok;
}

Result GlDevice::SetViewport(const Rect& viewport) {
    State& s = *mState;
    const Surface* target = s.renderTarget;
    if (!Within(viewport, *target)) {
        return Result::Failed;
    }
    s.viewport = viewport;
    s.viewportPartial = viewport != Rect{0, 0, target->Width(), target->Height()};
    // With the upper-left origin, window rows count from the top as Direct3D's do.
    glViewport(viewport.left, viewport.top, viewport.right - viewport.left,
               viewport.bottom - viewport.top);
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

Result GlDevice::StretchRect(Surface* source, const Rect* sourceRect, Surface* destination) {
    if (source == nullptr || destination == nullptr || source == destination ||
        (sourceRect != nullptr && !Within(*sourceRect, *source))) {
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
    s.targetBound = false;
    to->Attach(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0);
    const Rect rect = sourceRect ? *sourceRect : Rect{0, 0, from->Width(), from->Height()};
    glBlitFramebuffer(rect.left, rect.top, rect.right, rect.bottom, 0, 0, to->Width(), to->Height(),
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    BindTargets();
    return glGetError() == GL_NO_ERROR ? Result::Ok : Result::Failed;
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

} // namespace engine::platform
