#include "engine/gfx/shader.h"

#include "engine/core/exception.h"
#include "engine/core/fxEffect.h"
#include "engine/core/graphicsDevice.h"
#include "engine/core/log.h"
#include "engine/core/resourceManager.h"
#include "engine/core/resourceTypes.h"
#include "engine/core/stringConversion.h"
#include "engine/core/timer.h"
#include "engine/gfx/KVRMesh.h"
#include "engine/gfx/effect.h"
#include "engine/gfx/effectPool.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/renderQueue.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/gfx/spatial.h"
#include "engine/math/matrixHelpers.h"
#include "engine/math/vector4f.h"
#include "engine/platform/device.h"

#include <algorithm>
#include <array>
#include <set>

#if __has_include("engine/gfx/light.h")
#include "engine/gfx/light.h"
#define KOVRA_HAS_LIGHTS 1
#endif

namespace engine::gfx {

namespace {

constexpr const char* kSource = "engine\\Shader";

constexpr std::array<const char*, static_cast<std::size_t>(SemanticSource::Count)> kSemanticNames =
    {
        "World",
        "WorldRotation",
        "View",
        "ViewInverse",
        "WorldView",
        "Projection",
        "ViewProjection",
        "WorldViewProjection",
        "WorldInverseTranspose",
        "Light0Inverse",
        "Time",
        "TimeElapsed",
        "Light0",
        "Light1",
        "Light2",
        "Light3",
        "ViewDir",
        "ViewPos",
        "Camera",
        "TexAdj",
};

// Clip-space x, y to texture coordinates of a 512-texel target, half a texel off.
const math::Matrix4x4 kTexAdj(0.5f, 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 1, 0, 0.5009765625f,
                              0.5009765625f, 0, 1);

// One effect is begun at a time, whichever shader began it.
int sPassCount = 0;
int sCurrentPass = 0;
CompiledEffect* sBegun = nullptr;

// Light N's spatial side, null when the scene has fewer lights.
Spatial* LightSpatial([[maybe_unused]] int index) {
#ifdef KOVRA_HAS_LIGHTS
    const SceneInfo* scene = SceneInfo::mInstance;
    if (!scene || index >= static_cast<int>(scene->Lights().size()))
        return nullptr;
    return scene->Lights()[std::size_t(index)];
#else
    return nullptr;
#endif
}

const FrustumRecord* FirstCamera() {
    const SceneInfo* scene = SceneInfo::mInstance;
    return scene && !scene->Frustums().empty() ? &scene->Frustums().front() : nullptr;
}

// The device texture of a texture or target resource, whatever kind holds it.
platform::BaseTexture* TextureOf(const core::resources::Resource* resource) {
    using core::resources::ResourceRetriever;
    if (auto* base = dynamic_cast<const ResourceRetriever<platform::BaseTexture>*>(resource))
        return base->Handle();
    if (auto* flat = dynamic_cast<const ResourceRetriever<platform::Texture>*>(resource))
        return flat->Handle();
    if (auto* cube = dynamic_cast<const ResourceRetriever<platform::CubeTexture>*>(resource))
        return cube->Handle();
    return nullptr;
}

template <class Entries> void CollectNames(const Entries& entries, std::set<std::string>& names) {
    for (const auto& entry : entries)
        names.insert(entry.name);
}

template <class Cell>
void AddEntry(std::vector<ParameterEntry<Cell>>& list, const std::string& name, Cell cell,
              bool enabled) {
    list.push_back(
        {name, std::make_shared<Cell>(cell), std::make_shared<std::uint8_t>(enabled ? 1 : 0)});
}

bool Enabled(const std::shared_ptr<std::uint8_t>& flag) {
    return flag && *flag;
}

} // namespace

const char* SemanticName(SemanticSource source) {
    return kSemanticNames.at(static_cast<std::size_t>(source));
}

Shader::Shader(const PassDescription& pass, const std::string& effectPath)
    : mPass(pass), mEffectPath(effectPath) {
    mEffect = core::ResourceManager::Get()->Get<core::resources::FXEffect>(core::Widen(effectPath));
    FindTechnique();
    ReadQuadAnnotations();
    if (mPass.hasColorTarget)
        mTarget = LoadScriptResource(ScriptResource::RenderTarget, core::Widen(mPass.colorTarget));
    else if (mPass.hasDepthTarget)
        mTarget = LoadScriptResource(ScriptResource::DepthTarget, core::Widen(mPass.depthTarget));
}

Shader::~Shader() = default;

std::shared_ptr<core::resources::RenderTargetTexture> Shader::GetTarget() const {
    return std::dynamic_pointer_cast<core::resources::RenderTargetTexture>(mTarget);
}

void Shader::FindTechnique() {
    const CompiledEffect* effect = mEffect ? mEffect->Handle() : nullptr;
    mTechnique = effect ? effect->GetTechniqueByName(mPass.technique) : TechniqueHandle{};
    if (!mTechnique)
        core::Logging::Get()->Error("No such technique " + mPass.technique + " in " + mEffectPath,
                                    kSource, __LINE__);
}

void Shader::ReadQuadAnnotations() {
    const CompiledEffect& effect = *mEffect->Handle();
    const Annotation* quad = effect.GetAnnotationByName(mTechnique, "quad");
    if (!quad || !std::holds_alternative<bool>(quad->value) || !std::get<bool>(quad->value))
        return;
    const Annotation* material = effect.GetAnnotationByName(mTechnique, "material");
    if (!material || !std::holds_alternative<std::string>(material->value)) {
        core::Logging::Get()->Warning("Quad in effect " + mEffectPath +
                                          " is true, but material not available",
                                      kSource, __LINE__);
        return;
    }
    mQuadMaterialPath = "data/fx/" + std::get<std::string>(material->value) + ".efx";
    core::Logging::Get()->Message("Loading quad material " + mQuadMaterialPath, kSource, __LINE__);
    mQuad = true;
    try {
        mQuadMaterial = EffectPool::Get()->GenerateMaterialEffect(mQuadMaterialPath);
    } catch (const core::Exception& e) {
        // The script's own error need not name it; the pool then falls back
        // to the next variant of the effect that wanted the quad.
        core::Logging::Get()->Warning("Quad material " + mQuadMaterialPath +
                                          " failed: " + core::Narrow(e.GetText()),
                                      kSource, __LINE__);
        throw;
    }
    mQuadMesh = core::ResourceManager::Get()->Get<KVRMesh>(core::Widen(KVRMesh::kQuadPath));
}

// A fresh render object each frame, from the quad mesh's current render data.
void Shader::RenderQuad(RenderQueue& queue) {
    if (!mQuad || !mQuadMesh)
        return;
    auto object = mQuadMesh->GetRenderObject();
    object->effect = mQuadMaterial;
    queue.Submit(std::move(object));
}

bool Shader::IsSupported() {
    const CompiledEffect* effect = mEffect ? mEffect->Handle() : nullptr;
    if (effect && effect->ValidateTechnique(mTechnique))
        return true;
    core::Logging::Get()->Warning("FXShader " + mPass.effectFile + " with technique " +
                                      mPass.technique + " not supported",
                                  kSource, __LINE__);
    return false;
}

void Shader::AddTweakableDefaults(std::set<std::string>& names) {
    const CompiledEffect& effect = *mEffect->Handle();
    for (int i = 0; i < effect.ParameterCount(); ++i) {
        const ParameterHandle handle = effect.GetParameter(i);
        const EffectParameter& parameter = effect.GetParameterDesc(handle);
        const Annotation* label = effect.GetAnnotationByName(handle, "UIName");
        if (!label || !std::holds_alternative<std::string>(label->value) ||
            names.count(parameter.name))
            continue;
        const math::Vector4f value = effect.GetVector(handle);
        switch (parameter.type) {
        case ParameterType::Float:
            AddEntry(mPass.floatParams, parameter.name, ShaderParameters::param32{value.x}, false);
            break;
        case ParameterType::Float2:
            AddEntry(mPass.float2Params, parameter.name,
                     ShaderParameters::param64{{value.x, value.y}}, false);
            break;
        case ParameterType::Float3:
            AddEntry(mPass.float3Params, parameter.name,
                     ShaderParameters::param96{{value.x, value.y, value.z}}, false);
            break;
        case ParameterType::Float4:
            AddEntry(mPass.float4Params, parameter.name,
                     ShaderParameters::param128{{value.x, value.y, value.z, value.w}}, false);
            break;
        case ParameterType::Texture:
            AddEntry(mPass.textureParams, parameter.name,
                     ShaderParameters::texture{
                         LoadScriptResource(ScriptResource::Texture, L"data/default.dds")},
                     true);
            break;
        default:
            continue;
        }
        names.insert(parameter.name);
    }
}

void Shader::BindParameters() {
    FindTechnique();
    const CompiledEffect& effect = *mEffect->Handle();
    for (auto* handles : {&mFloat4Handles, &mFloat3Handles, &mFloat2Handles, &mFloatHandles,
                          &mIpoHandles, &mBoolHandles, &mTextureHandles, &mRawHandles})
        handles->clear();
    mFloat4Saved.clear();
    mFloat3Saved.clear();
    mFloat2Saved.clear();
    mFloatSaved.clear();
    mBoolSaved.clear();
    mSemantics.clear();

    std::set<std::string> names;
    CollectNames(mPass.float4Params, names);
    CollectNames(mPass.float3Params, names);
    CollectNames(mPass.float2Params, names);
    CollectNames(mPass.floatParams, names);
    CollectNames(mPass.ipoParams, names);
    CollectNames(mPass.boolParams, names);
    CollectNames(mPass.textureParams, names);
    CollectNames(mPass.rawParams, names);
    AddTweakableDefaults(names);

    auto lookUp = [&](const std::string& name) {
        const ParameterHandle handle = effect.GetParameterByName(name);
        if (!handle)
            core::Logging::Get()->Warning("No such parameter " + name + " in shader " + mEffectPath,
                                          kSource, __LINE__);
        return handle;
    };
    auto bindSaved = [&](const auto& entries, auto& handles, auto& saved) {
        for (const auto& entry : entries) {
            handles.push_back(lookUp(entry.name));
            auto& value = saved.emplace_back();
            effect.GetValue(handles.back(), &value, sizeof(value));
        }
    };
    bindSaved(mPass.float4Params, mFloat4Handles, mFloat4Saved);
    bindSaved(mPass.float3Params, mFloat3Handles, mFloat3Saved);
    bindSaved(mPass.float2Params, mFloat2Handles, mFloat2Saved);
    bindSaved(mPass.floatParams, mFloatHandles, mFloatSaved);
    for (const auto& entry : mPass.ipoParams)
        mIpoHandles.push_back(lookUp(entry.name));
    bindSaved(mPass.boolParams, mBoolHandles, mBoolSaved);
    for (const auto& entry : mPass.textureParams)
        mTextureHandles.push_back(lookUp(entry.name));
    for (const auto& entry : mPass.rawParams)
        mRawHandles.push_back(lookUp(entry.name));

    for (std::size_t i = 0; i < kSemanticNames.size(); ++i)
        if (const ParameterHandle handle = effect.GetParameterBySemantic(kSemanticNames[i]))
            mSemantics.push_back({handle, static_cast<SemanticSource>(i)});

    mBoundWriteTime = mEffect->LastWriteTime();
    mBoundEffect = &effect;
}

CompiledEffect* Shader::CurrentEffect() {
    CompiledEffect* effect = mEffect ? mEffect->Handle() : nullptr;
    if (effect && (effect != mBoundEffect || mEffect->LastWriteTime() != mBoundWriteTime))
        BindParameters();
    return effect;
}

int Shader::BeginPass(std::int32_t pass) {
    CompiledEffect* effect = CurrentEffect();
    if (pass == 0) {
        sPassCount = 0;
        sBegun = effect;
        if (!effect)
            return 0;
        effect->SetTechnique(mTechnique);
        sPassCount = effect->Begin();
        if (sPassCount == 0) {
            effect->End();
            sBegun = nullptr;
        }
    }
    if (effect && effect == sBegun && pass < sPassCount) {
        effect->BeginPass(pass);
        sCurrentPass = pass;
    }
    return sPassCount;
}

void Shader::EndPass() {
    // Compared, never dereferenced: a reload may have freed the begun effect.
    CompiledEffect* effect = mEffect ? mEffect->Handle() : nullptr;
    if (!effect || effect != sBegun)
        return;
    effect->EndPass();
    if (sCurrentPass == sPassCount - 1) {
        effect->End();
        sBegun = nullptr;
    }
}

void Shader::Render(const std::shared_ptr<RenderObject>& object) {
    if (object)
        Render(*object);
}

void Shader::Render(const RenderObject& object) {
    // A file that no longer compiles draws nothing until it is fixed.
    CompiledEffect* effect = CurrentEffect();
    if (!effect)
        return;
    WriteSemantics(*effect, object);
    ApplyScriptValues(*effect);
    effect->CommitChanges();

    platform::Device& device = *core::GraphicsDevice();
    BoundGeometry& bound = LastBoundGeometry();
    if (bound.declaration != object.vertexDeclaration) {
        device.SetVertexDeclaration(object.vertexDeclaration);
        bound.declaration = object.vertexDeclaration;
    }
    if (bound.vertexBuffer != object.vertexBuffer || bound.stride != object.vertexSize) {
        device.SetStreamSource(object.vertexBuffer, 0,
                               static_cast<std::uint32_t>(object.vertexSize));
        bound.vertexBuffer = object.vertexBuffer;
        bound.stride = object.vertexSize;
    }
    if (bound.indexBuffer != object.indexBuffer) {
        device.SetIndices(object.indexBuffer);
        bound.indexBuffer = object.indexBuffer;
    }
    if (device.DrawIndexedPrimitive(
            object.primitiveType, 0, 0, static_cast<std::uint32_t>(object.vertexCount),
            static_cast<std::uint32_t>(object.startIndex),
            static_cast<std::uint32_t>(object.primitiveCount)) != platform::Result::Ok)
        core::Logging::Get()->Error("Failed to render an object", kSource, __LINE__);
    RestoreScriptValues(*effect);
}

void Shader::WriteSemantics(CompiledEffect& effect, const RenderObject& object) {
    platform::Device& device = *core::GraphicsDevice();
    math::Matrix4x4 view, projection;
    device.GetTransform(platform::TransformState::View, view);
    device.GetTransform(platform::TransformState::Projection, projection);
    for (const SemanticBinding& binding : mSemantics) {
        switch (binding.source) {
        case SemanticSource::World:
            effect.SetMatrix(binding.handle, object.world);
            break;
        case SemanticSource::WorldRotation: {
            math::Matrix4x4 rotation = object.world;
            rotation.m[3] = rotation.m[7] = rotation.m[11] = rotation.m[12] = rotation.m[13] =
                rotation.m[14] = 0.0f;
            rotation.m[15] = 1.0f;
            effect.SetMatrix(binding.handle, rotation);
            break;
        }
        case SemanticSource::View:
            effect.SetMatrix(binding.handle, view);
            break;
        case SemanticSource::ViewInverse: {
            math::Matrix4x4 inverse = math::Matrix4x4::Identity;
            math::MatrixInverse(view, inverse);
            effect.SetMatrix(binding.handle, inverse);
            break;
        }
        case SemanticSource::WorldView:
            effect.SetMatrix(binding.handle, object.world * view);
            break;
        case SemanticSource::Projection:
            effect.SetMatrix(binding.handle, projection);
            break;
        case SemanticSource::ViewProjection:
            effect.SetMatrix(binding.handle, view * projection);
            break;
        case SemanticSource::WorldViewProjection:
            effect.SetMatrix(binding.handle, object.world * (view * projection));
            break;
        case SemanticSource::WorldInverseTranspose:
            effect.SetMatrix(binding.handle, object.worldInverseTranspose);
            break;
        case SemanticSource::Light0Inverse: {
            Spatial* light = LightSpatial(0);
            effect.SetMatrix(binding.handle,
                             light ? light->WorldInverse() : math::Matrix4x4::Identity);
            break;
        }
        case SemanticSource::Time:
            effect.SetFloat(binding.handle,
                            core::Timer::mInstance
                                ? static_cast<float>(core::Timer::mInstance->GetTime())
                                : 0.0f);
            break;
        case SemanticSource::TimeElapsed:
            effect.SetFloat(binding.handle,
                            core::Timer::mInstance
                                ? static_cast<float>(core::Timer::mInstance->GetSinceLast())
                                : 0.0f);
            break;
        case SemanticSource::Light0:
        case SemanticSource::Light1:
        case SemanticSource::Light2:
        case SemanticSource::Light3: {
            const int index =
                static_cast<int>(binding.source) - static_cast<int>(SemanticSource::Light0);
            math::Vector4f position;
            if (Spatial* light = LightSpatial(index)) {
                const math::Matrix4x4 world = light->World();
                position = {world.m[12], world.m[13], world.m[14], world.m[15]};
            }
            effect.SetVector(binding.handle, position);
            break;
        }
        case SemanticSource::ViewDir: {
            math::Vector4f direction;
            if (const FrustumRecord* camera = FirstCamera()) {
                math::Vector3f normal = camera->planes[FrustumRecord::Near].normal;
                if (normal.Mag() > 0.0f)
                    normal.Normalize();
                direction = {normal, 0.0f};
            }
            effect.SetVector(binding.handle, direction);
            break;
        }
        case SemanticSource::ViewPos: {
            const FrustumRecord* camera = FirstCamera();
            effect.SetVector(binding.handle, camera ? math::Vector4f(camera->eye, 1.0f)
                                                    : math::Vector4f(0, 0, 0, 1));
            break;
        }
        case SemanticSource::Camera: {
            const FrustumRecord* camera = FirstCamera();
            effect.SetMatrix(binding.handle, camera && camera->camera ? camera->camera->Local()
                                                                      : math::Matrix4x4::Identity);
            break;
        }
        case SemanticSource::TexAdj:
            effect.SetMatrix(binding.handle, kTexAdj);
            break;
        case SemanticSource::Count:
            break;
        }
    }
}

void Shader::ApplyScriptValues(CompiledEffect& effect) {
    auto applyRaw = [&](const auto& entries, const std::vector<ParameterHandle>& handles,
                        std::uint32_t bytes) {
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (handles[i] && Enabled(entries[i].enabled))
                effect.SetRawValue(handles[i], entries[i].value->value, 0, bytes);
    };
    applyRaw(mPass.float4Params, mFloat4Handles, 16);
    applyRaw(mPass.float3Params, mFloat3Handles, 12);
    applyRaw(mPass.float2Params, mFloat2Handles, 8);
    for (std::size_t i = 0; i < mPass.floatParams.size(); ++i)
        if (mFloatHandles[i] && Enabled(mPass.floatParams[i].enabled))
            effect.SetFloat(mFloatHandles[i], mPass.floatParams[i].value->value);
    for (std::size_t i = 0; i < mPass.ipoParams.size(); ++i)
        if (mIpoHandles[i] && Enabled(mPass.ipoParams[i].enabled) &&
            mPass.ipoParams[i].value->address)
            effect.SetRawValue(mIpoHandles[i], mPass.ipoParams[i].value->address, 0, 4);
    for (std::size_t i = 0; i < mPass.boolParams.size(); ++i)
        if (mBoolHandles[i] && Enabled(mPass.boolParams[i].enabled))
            effect.SetRawValue(mBoolHandles[i], &mPass.boolParams[i].value->value, 0, 1);
    for (std::size_t i = 0; i < mPass.textureParams.size(); ++i)
        if (mTextureHandles[i] && Enabled(mPass.textureParams[i].enabled))
            effect.SetTexture(mTextureHandles[i],
                              TextureOf(mPass.textureParams[i].value->resource.get()));
    // Entries pushed onto the description directly have no handle until the
    // next bind.
    for (std::size_t i = 0; i < std::min(mPass.rawParams.size(), mRawHandles.size()); ++i)
        if (mRawHandles[i] && mPass.rawParams[i].address)
            effect.SetRawValue(mRawHandles[i], mPass.rawParams[i].address, 0,
                               mPass.rawParams[i].size);
}

void Shader::RestoreScriptValues(CompiledEffect& effect) {
    auto restore = [&](const auto& entries, const std::vector<ParameterHandle>& handles,
                       const auto& saved, std::uint32_t bytes) {
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (handles[i] && Enabled(entries[i].enabled))
                effect.SetRawValue(handles[i], &saved[i], 0, bytes);
    };
    restore(mPass.boolParams, mBoolHandles, mBoolSaved, 1);
    restore(mPass.floatParams, mFloatHandles, mFloatSaved, 4);
    restore(mPass.float2Params, mFloat2Handles, mFloat2Saved, 8);
    restore(mPass.float3Params, mFloat3Handles, mFloat3Saved, 12);
    restore(mPass.float4Params, mFloat4Handles, mFloat4Saved, 16);
}

// The entry comes with its handle, so the handle list stays as long as the
// entry list and the next draw applies the entry without a re-bind. Before
// the first bind (or after a reload) the next draw binds every list anyway.
void Shader::AddRawData(const std::string& name, const void* address, std::uint32_t size) {
    mPass.rawParams.push_back({name, address, size});
    const CompiledEffect* effect = mEffect ? mEffect->Handle() : nullptr;
    if (!effect || effect != mBoundEffect)
        return;
    if (mRawHandles.size() + 1 != mPass.rawParams.size()) {
        mBoundEffect = nullptr; // entries pushed past the handles: re-bind at the next draw
        return;
    }
    const ParameterHandle handle = effect->GetParameterByName(name);
    if (!handle)
        core::Logging::Get()->Warning("No such parameter " + name + " in shader " + mEffectPath,
                                      kSource, __LINE__);
    mRawHandles.push_back(handle);
}

void Shader::SetRawDataAddress(std::size_t index, const void* address) {
    if (index < mPass.rawParams.size())
        mPass.rawParams[index].address = address;
}

} // namespace engine::gfx
