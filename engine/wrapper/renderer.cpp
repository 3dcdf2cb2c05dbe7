#include "engine/gfx/renderer.h"

#include "engine/core/kernel.h"
#include "engine/core/log.h"
#include "engine/gfx/renderObject.h"
#include "engine/wrapper/wrapper.h"

namespace engine {

namespace {

// The renderer is registered under key 10 by CreateKOVRAWindow.
gfx::Renderer* FindRenderer() {
    return dynamic_cast<gfx::Renderer*>(core::Kernel::Get()->GetModule(10));
}

} // namespace

void SetRootNode(std::shared_ptr<gfx::Spatial> root) {
    if (!root) {
        core::Logging::Get()->Warning("Setting NULL root node. Not Allowed.", ".\\wrapper.cpp", 87);
        return;
    }
    if (gfx::Renderer* renderer = FindRenderer())
        renderer->SetRootNode(std::move(root));
}

void Render(std::shared_ptr<gfx::RenderObject> object) {
    if (gfx::Renderer* renderer = FindRenderer())
        renderer->Submit(std::move(object));
}

} // namespace engine
