#include "engine/platform/glDeviceState.h"
#include "engine/platform/glEnums.h"

#include "engine/math/matrix4x4.h"

#include <algorithm>

namespace engine::platform {

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
    glPolygonMode(GL_FRONT_AND_BACK, FillModeOf(states.fillMode));
}

} // namespace engine::platform
