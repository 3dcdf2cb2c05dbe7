#include "engine/platform/glDeviceState.h"
#include "engine/platform/glSampler.h"

#include "engine/platform/glTexture.h"

#include <algorithm>

namespace engine::platform {

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
    // Binding for creation disturbed the units' bindings.
    mState->unitTargets.fill(0);
    mState->link->textureBindingsStale = true;
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
    mState->link->textureBindingsStale = true;
    return glGetError() == GL_NO_ERROR ? std::move(texture) : nullptr;
}

void GlDevice::SetTexture(int unit, BaseTexture* texture) {
    State& s = *mState;
    if (unit < 0 || unit >= static_cast<int>(s.unitTargets.size())) {
        return;
    }
    if (s.link->textureBindingsStale) {
        s.unitNames.fill(~0u);
        s.link->textureBindingsStale = false;
    }
    GLenum target = 0;
    GLuint name = 0;
    if (auto* flat = dynamic_cast<GlTexture*>(texture)) {
        target = GL_TEXTURE_2D;
        name = flat->mName;
    } else if (auto* cube = dynamic_cast<GlCubeTexture*>(texture)) {
        target = GL_TEXTURE_CUBE_MAP;
        name = cube->mName;
    }
    if (name != s.unitNames[unit] || target != s.unitTargets[unit]) {
        if (s.activeUnit != static_cast<GLuint>(unit)) {
            glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
            s.activeUnit = static_cast<GLuint>(unit);
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
        s.unitNames[unit] = name;
    }
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
    WriteSamplerParameters(sampler, state, s.mirrorClamp, s.maxAnisotropy);
}

} // namespace engine::platform
