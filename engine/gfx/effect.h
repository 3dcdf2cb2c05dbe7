#pragma once

#include "engine/engineApi.h"

#include <memory>
#include <set>
#include <vector>

namespace engine::gfx {

class Shader;

/// One chosen variant of an effect script: a shader per pass, in pass order,
/// and the vertex streams the passes need (mesh stream keys).
class ENGINE_API Effect {
public:
    void AddShader(std::shared_ptr<Shader> shader);
    /// Every shader's technique validates; true without shaders.
    bool IsValid() const;
    void Bind();

    const std::vector<std::shared_ptr<Shader>>& Shaders() const { return mShaders; }
    const std::set<int>& Streams() const { return mStreams; }

private:
    std::vector<std::shared_ptr<Shader>> mShaders;
    std::set<int> mStreams;
};

} // namespace engine::gfx
