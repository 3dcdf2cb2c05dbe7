#include "engine/core/resourceManager.h"
#include "engine/core/resourceTypes.h"
#include "engine/wrapper/wrapper.h"

namespace engine {

void CreateRenderTarget(const std::wstring& name, int size) {
    auto target = std::make_shared<core::resources::RenderTargetTexture>(name, size);
    // Created before it is stored, so that a failure leaves the earlier
    // target of that name, or none, as with any failed resource.
    target->Create();
    core::ResourceManager::Get()->AddUnmanaged(name, std::move(target));
}

} // namespace engine
