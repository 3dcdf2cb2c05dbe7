#include "engine/gfx/effectPool.h"
#include "engine/wrapper/wrapper.h"

namespace engine {

void SetTargetShaderVersion(std::uint32_t version) {
    gfx::EffectPool::Get()->SetTargetShaderVersion(version);
}

std::shared_ptr<gfx::Effect> BuildEffect(const std::string& file) {
    return gfx::EffectPool::Get()->GenerateEffect(file);
}

} // namespace engine
