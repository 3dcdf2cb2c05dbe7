#pragma once

#include "engine/platform/device.h"
#include "engine/platform/glDeviceLink.h"

#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

namespace engine::platform {

class GlProgram final : public Program {
public:
    GlProgram(Liveness alive, GLuint name, std::vector<UniformInfo> uniforms);
    ~GlProgram() override;
    const std::vector<UniformInfo>& Uniforms() const override { return mUniforms; }

    // Whether `count` elements of `type` at `location` are what the program
    // holds already; if not, they are remembered as sent. Writes into the
    // middle of an array, or of another type than the uniform's, are
    // never skipped.
    bool Holds(int location, UniformType type, const void* values, int count);

    Liveness mAlive;
    GLuint mName;
    std::vector<UniformInfo> mUniforms;
    GLint mAlphaFunc;
    GLint mAlphaRef;
    int mSentAlphaFunc = -1;
    float mSentAlphaRef = -1.0f;

private:
    // Values last sent to one uniform: its words in mSentWords.
    struct Sent {
        int location = -1; // the uniform's first location
        int components = 0;
        std::size_t offset = 0;
        std::size_t words = 0;
        std::size_t known = 0; // leading words that hold what was sent
    };
    std::vector<int> mSentOfLocation; // location -> index in mSent, -1 for none
    std::vector<Sent> mSent;
    std::vector<std::uint32_t> mSentWords;
};

} // namespace engine::platform
