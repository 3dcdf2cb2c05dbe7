#pragma once

#include "engine/gfx/compiledEffect.h"
#include "engine/gfx/effectScript.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace engine::core::resources {
class FXEffect;
class RenderTargetTexture;
} // namespace engine::core::resources

namespace engine::gfx {

class Effect;
class Mesh;
class RenderQueue;
struct RenderObject;

// Engine values a shader writes per object, found by the parameter's
// semantic. The order is the order of the writes.
enum class SemanticSource : std::uint8_t {
    World,
    WorldRotation,
    View,
    ViewInverse,
    WorldView,
    Projection,
    ViewProjection,
    WorldViewProjection,
    WorldInverseTranspose,
    Light0Inverse,
    Time,
    TimeElapsed,
    Light0,
    Light1,
    Light2,
    Light3,
    ViewDir,
    ViewPos,
    Camera,
    TexAdj,
    Count
};

// The semantic names in SemanticSource order.
const char* SemanticName(SemanticSource source);

// One pass of an effect: a technique of a compiled effect file, the target it
// draws into, the script's parameter values and the per-object values the
// effect asks for by semantic.
class Shader {
public:
    struct SemanticBinding {
        ParameterHandle handle;
        SemanticSource source;
    };

    // Raises (through the log) when the effect file cannot be compiled, the
    // technique is missing, the target cannot be made or a quad material
    // cannot be built.
    Shader(const PassDescription& pass, const std::string& effectPath);
    virtual ~Shader();
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;

    // The target this pass draws into (a DepthTexture for depth passes);
    // empty for the back buffer.
    virtual std::shared_ptr<core::resources::RenderTargetTexture> GetTarget() const;

    // Whether the technique validates on the device; warns when not.
    bool IsSupported();
    // (Re)binds technique, parameter handles, saved values and semantics.
    void BindParameters();

    // Index 0 begins the technique; returns its pass count. Pass count and
    // current pass are engine-wide: one effect is begun at a time.
    int BeginPass(std::int32_t pass);
    void EndPass();
    // Draws one object with this pass, between BeginPass and EndPass. Draws
    // nothing while the effect file does not compile.
    void Render(const std::shared_ptr<RenderObject>& object);
    void Render(const RenderObject& object);

    // Data the program points the shader at directly (bone matrices); bound
    // by name at the next BindParameters.
    void AddRawData(const std::string& name, const void* address, std::uint32_t size);
    void SetRawDataAddress(std::size_t index, const void* address);

    const PassDescription& Description() const { return mPass; }
    // Writable for the scene loader, which points ipo cells at channels.
    PassDescription& Description() { return mPass; }
    const std::string& EffectPath() const { return mEffectPath; }
    const std::shared_ptr<core::resources::FXEffect>& GetFXEffect() const { return mEffect; }
    TechniqueHandle Technique() const { return mTechnique; }
    const std::vector<SemanticBinding>& SemanticBindings() const { return mSemantics; }

    // Screen quad: set when the technique's "quad" annotation is true and it
    // names a "material"; the quad mesh is the engine's "data/quad.kvr".
    bool IsQuad() const { return mQuad; }
    const std::string& QuadMaterialPath() const { return mQuadMaterialPath; }
    const std::shared_ptr<Effect>& QuadMaterial() const { return mQuadMaterial; }
    const std::shared_ptr<Mesh>& QuadMesh() const { return mQuadMesh; }
    // Submits the quad drawn with the material effect; nothing without a quad.
    void RenderQuad(RenderQueue& queue);

private:
    void FindTechnique();
    void ReadQuadAnnotations();
    void AddTweakableDefaults(std::set<std::string>& names);
    // The compiled effect, re-bound first when it was recompiled; null while
    // the file does not compile.
    CompiledEffect* CurrentEffect();
    void WriteSemantics(CompiledEffect& effect, const RenderObject& object);
    void ApplyScriptValues(CompiledEffect& effect);
    void RestoreScriptValues(CompiledEffect& effect);

    PassDescription mPass;
    std::vector<ParameterHandle> mFloat4Handles;
    std::vector<ParameterHandle> mFloat3Handles;
    std::vector<ParameterHandle> mFloat2Handles;
    std::vector<ParameterHandle> mFloatHandles;
    std::vector<ParameterHandle> mIpoHandles;
    std::vector<ParameterHandle> mBoolHandles;
    std::vector<ParameterHandle> mTextureHandles;
    std::vector<ParameterHandle> mRawHandles;
    std::vector<ShaderParameters::param128> mFloat4Saved;
    std::vector<ShaderParameters::param96> mFloat3Saved;
    std::vector<ShaderParameters::param64> mFloat2Saved;
    std::vector<ShaderParameters::param32> mFloatSaved;
    std::vector<ShaderParameters::param8> mBoolSaved;
    std::vector<SemanticBinding> mSemantics;
    std::shared_ptr<core::resources::FXEffect> mEffect;
    TechniqueHandle mTechnique;
    bool mQuad = false;
    std::shared_ptr<Mesh> mQuadMesh;
    std::shared_ptr<Effect> mQuadMaterial;
    std::string mQuadMaterialPath;
    std::uint64_t mBoundWriteTime = 0;
    // The compiled effect the handles belong to; a reload makes a new one.
    const CompiledEffect* mBoundEffect = nullptr;
    std::string mEffectPath;
    std::shared_ptr<core::resources::Resource> mTarget;
};

} // namespace engine::gfx
