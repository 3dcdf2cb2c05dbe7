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

namespace {

void Toggle(GLenum capability, bool on) {
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

void Cull(CullMode mode) {
    Toggle(GL_CULL_FACE, mode != CullMode::None);
    if (mode != CullMode::None) {
        glCullFace(mode == CullMode::Clockwise ? GL_FRONT : GL_BACK);
    }
}

} // namespace

void GlDevice::SetCullMode(CullMode mode) {
    State& s = *mState;
    if (s.statesKnown && mode == s.states.cullMode) {
        return;
    }
    s.states.cullMode = mode;
    Cull(mode);
}

// Only what differs from the context's states is sent: effects apply their
// pass's whole set at every pass.
void GlDevice::ApplyRenderStates(const RenderStates& states) {
    State& s = *mState;
    const RenderStates& was = s.states;
    const bool all = !s.statesKnown;
    if (all || states.zEnable != was.zEnable) {
        Toggle(GL_DEPTH_TEST, states.zEnable);
    }
    if (all || states.zWriteEnable != was.zWriteEnable) {
        glDepthMask(states.zWriteEnable ? GL_TRUE : GL_FALSE);
    }
    if (all || states.zFunc != was.zFunc) {
        glDepthFunc(CompareOf(states.zFunc));
    }
    if (all || states.cullMode != was.cullMode) {
        Cull(states.cullMode);
    }
    if (all || states.alphaBlendEnable != was.alphaBlendEnable) {
        Toggle(GL_BLEND, states.alphaBlendEnable);
    }
    if (all || states.srcBlend != was.srcBlend || states.destBlend != was.destBlend) {
        glBlendFunc(BlendOf(states.srcBlend), BlendOf(states.destBlend));
    }
    if (all || states.blendOp != was.blendOp) {
        glBlendEquation(BlendOpOf(states.blendOp));
    }
    if (all || states.colorWriteEnable != was.colorWriteEnable) {
        const std::uint32_t mask = states.colorWriteEnable;
        glColorMask(mask & ColorWriteRed, mask & ColorWriteGreen, mask & ColorWriteBlue,
                    mask & ColorWriteAlpha);
    }
    if (all || states.fillMode != was.fillMode) {
        glPolygonMode(GL_FRONT_AND_BACK, FillModeOf(states.fillMode));
    }
    s.states = states;
    s.statesKnown = true;
}

} // namespace engine::platform
