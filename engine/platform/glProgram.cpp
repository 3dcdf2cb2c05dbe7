#include "engine/platform/glProgram.h"

#include <algorithm>
#include <cstring>

namespace engine::platform {

GlProgram::GlProgram(Liveness alive, GLuint name, std::vector<UniformInfo> uniforms)
    : mAlive(std::move(alive)), mName(name), mUniforms(std::move(uniforms)) {
    mAlphaFunc = glGetUniformLocation(name, "kovra_AlphaFunc");
    mAlphaRef = glGetUniformLocation(name, "kovra_AlphaRef");
    for (const UniformInfo& uniform : mUniforms) {
        const int components = UniformComponents(uniform.type);
        const int elements = std::max(uniform.arraySize, 1);
        if (components == 0 || uniform.location < 0) {
            continue;
        }
        const auto end = static_cast<std::size_t>(uniform.location + elements);
        if (mSentOfLocation.size() < end) {
            mSentOfLocation.resize(end, -1);
        }
        for (int element = 0; element < elements; ++element) {
            mSentOfLocation[static_cast<std::size_t>(uniform.location + element)] =
                static_cast<int>(mSent.size());
        }
        const auto words = static_cast<std::size_t>(components) * elements;
        mSent.push_back({uniform.location, components, mSentWords.size(), words, 0});
        mSentWords.resize(mSentWords.size() + words);
    }
}

GlProgram::~GlProgram() {
    if (mAlive->alive) {
        glDeleteProgram(mName);
    }
    mAlive->programStale = true;
}

bool GlProgram::Holds(int location, UniformType type, const void* values, int count) {
    if (location < 0 || static_cast<std::size_t>(location) >= mSentOfLocation.size() ||
        mSentOfLocation[static_cast<std::size_t>(location)] < 0) {
        return false;
    }
    Sent& sent =
        mSent[static_cast<std::size_t>(mSentOfLocation[static_cast<std::size_t>(location)])];
    const auto words = static_cast<std::size_t>(UniformComponents(type)) * std::max(count, 0);
    if (location != sent.location || UniformComponents(type) != sent.components ||
        words > sent.words) {
        sent.known = 0;
        return false;
    }
    std::uint32_t* held = mSentWords.data() + sent.offset;
    if (words <= sent.known && std::memcmp(held, values, words * sizeof(std::uint32_t)) == 0) {
        return true;
    }
    std::memcpy(held, values, words * sizeof(std::uint32_t));
    sent.known = std::max(sent.known, words);
    return false;
}

} // namespace engine::platform
