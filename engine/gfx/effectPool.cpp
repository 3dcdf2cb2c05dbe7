#include "engine/gfx/effectPool.h"

#include "engine/core/exception.h"
#include "engine/core/fxEffect.h"
#include "engine/core/graphicsDevice.h"
#include "engine/core/kernel.h"
#include "engine/core/log.h"
#include "engine/core/resourceManager.h"
#include "engine/core/stringConversion.h"
#include "engine/gfx/effect.h"
#include "engine/gfx/shader.h"

#if __has_include("engine/core/resourceTypes.h")
#include "engine/core/resourceTypes.h"
#define KOVRA_HAS_TEXTURE_RESOURCES 1
#endif

namespace engine::gfx {

namespace {

constexpr const char* kSource = ".\\effectPool.cpp";
constexpr int kRendererKey = 10;

ScriptResourceLoader& InstalledLoader() {
    static ScriptResourceLoader loader;
    return loader;
}

std::shared_ptr<core::resources::Resource> LoadFromManager(ScriptResource kind,
                                                           const std::wstring& name) {
#ifdef KOVRA_HAS_TEXTURE_RESOURCES
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
#else
    (void)kind;
    core::Logging::Get()->Error("No texture resources in this build: " + core::Narrow(name),
                                kSource, __LINE__);
#endif
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
    const std::vector<EffectVariant> variants = ParseMaterialScript(path, LoadScriptResource);
    core::Logging* log = core::Logging::Get();
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
