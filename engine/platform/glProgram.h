#pragma once

#include "engine/platform/device.h"
#include "engine/platform/glDeviceLink.h"

#include <epoxy/gl.h>

#include <vector>

namespace engine::platform {

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

} // namespace engine::platform
