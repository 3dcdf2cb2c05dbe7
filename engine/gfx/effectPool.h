#pragma once

#include "engine/core/singleton.h"
#include "engine/gfx/effectScript.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace engine::core {
class Module;
}

namespace engine::platform {
class Device;
}

namespace engine::gfx {

class Effect;

// Turns effect scripts into effects: tries the variants from the highest
// priority down and keeps the first whose passes all build, stay within the
// target pixel-shader version and validate; otherwise the wireframe effect.
class EffectPool : public pattern::Singleton<EffectPool> {
public:
    static constexpr const char* kWireframeScript = "data/wireframe.efx";

    // Builds the wireframe effect with no version limit.
    EffectPool();
    ~EffectPool() override;

    // Never empty unless the wireframe effect is; script read errors raise.
    std::shared_ptr<Effect> GenerateEffect(const std::string& path);
    // Without version test and fallback: raises when no variant works.
    std::shared_ptr<Effect> GenerateMaterialEffect(const std::string& path);

    // D3D pixel-shader version token (0xFFFF0200 for 2.0); 0: no limit.
    void SetTargetShaderVersion(std::uint32_t version) { mTargetVersion = version; }
    std::uint32_t TargetShaderVersion() const { return mTargetVersion; }
    const std::shared_ptr<Effect>& WireframeEffect() const { return mWireframe; }

    platform::Device* GetDevice() const { return mDevice; }
    // The renderer module (kernel key 10); null when none is registered.
    core::Module* GetRenderer() const { return mRenderer; }

private:
    std::shared_ptr<Effect> Generate(const std::string& path, bool versionTest, bool fallback);

    // The scripts being built, outermost first: a quad material that needs
    // one of them again would recurse without end, so it is refused.
    std::vector<std::string> mBuilding;
    std::shared_ptr<Effect> mWireframe;
    std::uint32_t mTargetVersion = 0;
    platform::Device* mDevice = nullptr;
    core::Module* mRenderer = nullptr;
};

// How scripts and shaders reach textures and render targets: through the
// resource manager's Get<T> for the kind, unless a test has put another
// loader in place (an empty loader restores the resource manager's).
std::shared_ptr<core::resources::Resource> LoadScriptResource(ScriptResource kind,
                                                              const std::wstring& name);
void SetScriptResourceLoader(ScriptResourceLoader loader);

} // namespace engine::gfx
