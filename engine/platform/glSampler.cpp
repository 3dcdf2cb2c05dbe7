#include "engine/platform/glSampler.h"

#include "engine/platform/glEnums.h"

#include <algorithm>

namespace engine::platform {

void WriteSamplerParameters(GLuint sampler, const SamplerState& state, bool mirrorClamp,
                            float maxAnisotropy) {
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(MinFilterOf(state)));
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                        IsLinear(state.magFilter) ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S,
                        static_cast<GLint>(AddressOf(state.addressU, mirrorClamp)));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T,
                        static_cast<GLint>(AddressOf(state.addressV, mirrorClamp)));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R,
                        static_cast<GLint>(AddressOf(state.addressW, mirrorClamp)));
    if (maxAnisotropy > 0) {
        const bool anisotropic = state.minFilter == TextureFilter::Anisotropic ||
                                 state.magFilter == TextureFilter::Anisotropic;
        const float limit =
            anisotropic ? std::clamp(static_cast<float>(state.maxAnisotropy), 1.0f, maxAnisotropy)
                        : 1.0f;
        glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY, limit);
    }
}

} // namespace engine::platform
