#include "engine/gfx/effectPool.h"

#include "engine/core/exception.h"
#include "engine/core/fxEffect.h"
#include "engine/core/graphicsDevice.h"
#include "engine/core/kernel.h"
#include "engine/core/log.h"
#include "engine/core/resourceManager.h"
#include "engine/core/resourceTypes.h"
#include "engine/gfx/effect.h"
#include "engine/gfx/shader.h"

#include <algorithm>
#include <filesystem>

namespace engine::gfx {

namespace {

constexpr const char* kSource = "engine\\effectPool";
constexpr int kRendererKey = 10;

ScriptResourceLoader& InstalledLoader() {
    static ScriptResourceLoader loader;
    return loader;
}

std::shared_ptr<core::resources::Resource> LoadFromManager(ScriptResource kind,
                                                           const std::wstring& name) {
    namespace res = core::resources;
    core::ResourceManager* manager = core::ResourceManager::Get();
    switch (kind) {
    case ScriptResource::Texture:
        return manager->Get<res::ManagedTexture>(name);
    case ScriptResource::CubeTexture:
        return manager->Get<res::ManagedCubeTexture>(name);
    case ScriptResource::RenderTarget:
        return manager->Get<res::RenderTargetTexture>(name);
    case ScriptResource::DepthTarget:
        return manager->Get<res::DepthTexture>(name);
    }
    return nullptr;
}

} // namespace

std::shared_ptr<core::resources::Resource> LoadScriptResource(ScriptResource kind,
                                                              const std::wstring& name) {
    const ScriptResourceLoader& loader = InstalledLoader();
    return loader ? loader(kind, name) : LoadFromManager(kind, name);
}

void SetScriptResourceLoader(ScriptResourceLoader loader) {
    InstalledLoader() = std::move(loader);
}

EffectPool::EffectPool()
    : mDevice(core::GraphicsDevice()), mRenderer(core::Kernel::Get()->GetModule(kRendererKey)) {
    // Without its wireframe script the pool still works: effects whose every
    // variant fails come back empty, and the read's error row says why.
    try {
        mWireframe = Generate(kWireframeScript, false, true);
    } catch (const core::Exception&) {
        mWireframe.reset();
    }
    if (!mWireframe)
        core::Logging::Get()->Warning(std::string("No wireframe effect from ") + kWireframeScript +
                                          ": objects whose effects all fail are not drawn",
                                      kSource, __LINE__);
}

EffectPool::~EffectPool() = default;

std::shared_ptr<Effect> EffectPool::GenerateEffect(const std::string& path) {
    return Generate(path, true, true);
}

std::shared_ptr<Effect> EffectPool::GenerateMaterialEffect(const std::string& path) {
    return Generate(path, false, false);
}

std::shared_ptr<Effect> EffectPool::Generate(const std::string& path, bool versionTest,
                                             bool fallback) {
    core::Logging* log = core::Logging::Get();
    // A technique whose quad material is the script being built (or one
    // that leads back to it) would build it again inside itself until the
    // stack runs out.
    const std::string key = std::filesystem::path(path).lexically_normal().generic_string();
    if (std::find(mBuilding.begin(), mBuilding.end(), key) != mBuilding.end())
        log->Error("Quad material cycle: effect " + path + " is needed while it is being built",
                   kSource, __LINE__);
    mBuilding.push_back(key);
    struct InProgress {
        std::vector<std::string>& list;
        ~InProgress() { list.pop_back(); }
    } inProgress{mBuilding};

    const std::vector<EffectVariant> variants = ParseMaterialScript(path, LoadScriptResource);
    for (const EffectVariant& variant : variants) {
        auto effect = std::make_shared<Effect>();
        const PassDescription* building = nullptr;
        try {
            for (const PassDescription& pass : variant.passes) {
                building = &pass;
                auto shader = std::make_shared<Shader>(pass, "data/fx/" + pass.effectFile);
                effect->AddShader(shader);
                if (!versionTest || mTargetVersion == 0)
                    continue;
                const CompiledEffect& compiled = *shader->GetFXEffect()->Handle();
                const auto passes =
                    static_cast<int>(compiled.GetTechniqueDesc(shader->Technique()).passes.size());
                for (int i = 0; i < passes; ++i)
                    if (compiled.GetPixelShaderVersion(shader->Technique(), i) > mTargetVersion)
                        throw core::Exception(L"Shader version too high", L"GenerateEffect");
            }
        } catch (const core::Exception&) {
            log->Warning("Effect data/fx/" + building->effectFile + " Technique " +
                             building->technique + " failed",
                         kSource, __LINE__);
            continue;
        }
        if (!effect->IsValid())
            continue;
        effect->Bind();
        return effect;
    }
    if (!fallback)
        log->Error("Failed to generate an effect", kSource, __LINE__);
    log->Warning("No effects supported in the list, falling back to wireframe", kSource, __LINE__);
    return mWireframe;
}

} // namespace engine::gfx
