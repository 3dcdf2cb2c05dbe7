#include "engine/gfx/effect.h"

#include "engine/gfx/shader.h"

namespace engine::gfx {

void Effect::AddShader(std::shared_ptr<Shader> shader) {
    mStreams.insert(shader->Description().streams.begin(), shader->Description().streams.end());
    mShaders.push_back(std::move(shader));
}

bool Effect::IsValid() const {
    for (const auto& shader : mShaders)
        if (!shader->IsSupported())
            return false;
    return true;
}

void Effect::Bind() {
    for (const auto& shader : mShaders)
        shader->BindParameters();
}

} // namespace engine::gfx
