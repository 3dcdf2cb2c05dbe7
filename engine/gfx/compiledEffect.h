#pragma once

#include "engine/gfx/effectDescription.h"
#include "engine/platform/deviceTypes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace engine::math {
struct Matrix4x4;
struct Vector4f;
} // namespace engine::math

namespace engine::platform {
class Device;
class Program;
class BaseTexture;
} // namespace engine::platform

namespace engine::gfx {

// Handles into one compiled effect; empty (false) when a lookup finds nothing.
// They are stale once the effect is compiled again.
struct ParameterHandle {
    std::int32_t index = -1;
    explicit operator bool() const { return index >= 0; }
    bool operator==(const ParameterHandle&) const = default;
};

struct TechniqueHandle {
    std::int32_t index = -1;
    explicit operator bool() const { return index >= 0; }
    bool operator==(const TechniqueHandle&) const = default;
};

// The value of one parameter: its components as 32-bit words (floats for the
// float types, integers for int and bool), or a texture.
struct ParameterValue {
    std::vector<std::uint32_t> words;
    platform::BaseTexture* texture = nullptr;
};

// Values of the parameters declared `shared`: one value per name common to
// every compiled effect. One pool serves the whole engine and lives until the
// process ends.
class SharedParameterPool {
public:
    static SharedParameterPool& Instance();

    // The value of a shared parameter, made on first declaration; null when an
    // earlier effect declared the name with a different type or size.
    ParameterValue* Declare(const EffectParameter& parameter);
    // Forgets every shared value; only while no compiled effect is alive.
    void Clear();

private:
    struct Entry {
        ParameterType type;
        std::uint32_t arraySize;
        ParameterValue value;
    };
    std::map<std::string, Entry> mEntries;
};

// An effect file compiled for the device: the parameter store, the
// techniques with one linked program per pass, and the Begin/BeginPass/
// CommitChanges/EndPass/End protocol that puts a pass on the device.
class CompiledEffect {
public:
    // Compiles every pass of the description. On failure returns null and
    // fills errors with "file(line): message" lines from the compiler.
    static std::unique_ptr<CompiledEffect>
    Create(platform::Device& device, EffectDescription description, std::string& errors);
    ~CompiledEffect();
    CompiledEffect(const CompiledEffect&) = delete;
    CompiledEffect& operator=(const CompiledEffect&) = delete;

    const EffectDescription& Description() const { return mDescription; }

    // --- parameters
    int ParameterCount() const;
    ParameterHandle GetParameter(int index) const;
    ParameterHandle GetParameterByName(const std::string& name) const;
    // Semantics compare without regard to case.
    ParameterHandle GetParameterBySemantic(const std::string& semantic) const;
    const EffectParameter& GetParameterDesc(ParameterHandle parameter) const;
    const Annotation* GetAnnotationByName(ParameterHandle parameter, const std::string& name) const;

    // --- techniques
    int TechniqueCount() const;
    TechniqueHandle GetTechnique(int index) const;
    TechniqueHandle GetTechniqueByName(const std::string& name) const;
    const EffectTechnique& GetTechniqueDesc(TechniqueHandle technique) const;
    const Annotation* GetAnnotationByName(TechniqueHandle technique, const std::string& name) const;
    // The pass's pixel-shader version token; 0 for a pass without one.
    std::uint32_t GetPixelShaderVersion(TechniqueHandle technique, int pass) const;
    // Every pass linked and within the device's shader versions.
    bool ValidateTechnique(TechniqueHandle technique) const;
    void SetTechnique(TechniqueHandle technique);
    TechniqueHandle GetCurrentTechnique() const { return mCurrentTechnique; }

    // --- values. Setters and getters silently ignore empty handles and
    // handles of another kind (as D3DX answers with an error code); sizes are
    // clamped to the parameter's storage.
    void SetBool(ParameterHandle parameter, bool value);
    bool GetBool(ParameterHandle parameter) const;
    void SetInt(ParameterHandle parameter, std::int32_t value);
    std::int32_t GetInt(ParameterHandle parameter) const;
    void SetFloat(ParameterHandle parameter, float value);
    float GetFloat(ParameterHandle parameter) const;
    void SetVector(ParameterHandle parameter, const math::Vector4f& value);
    math::Vector4f GetVector(ParameterHandle parameter) const;
    void SetMatrix(ParameterHandle parameter, const math::Matrix4x4& value);
    math::Matrix4x4 GetMatrix(ParameterHandle parameter) const;
    void SetFloatArray(ParameterHandle parameter, const float* values, int count);
    void SetMatrixArray(ParameterHandle parameter, const math::Matrix4x4* values, int count);
    // Bytes of the parameter's words, from byte offset. A float4x4's bytes are
    // its columns one after the other (register order), as in D3DX, so a
    // transposed matrix set raw arrives as the matrix itself.
    void SetRawValue(ParameterHandle parameter, const void* data, std::uint32_t offset,
                     std::uint32_t bytes);
    void GetValue(ParameterHandle parameter, void* data, std::uint32_t bytes) const;
    void SetTexture(ParameterHandle parameter, platform::BaseTexture* texture);
    platform::BaseTexture* GetTexture(ParameterHandle parameter) const;

    // --- drawing. Begin yields the current technique's pass count (0 without
    // a technique); BeginPass puts the pass's program, render states, uniforms,
    // textures and samplers on the device; CommitChanges uploads values set
    // since; End restores the default render states.
    int Begin();
    bool BeginPass(int pass);
    void CommitChanges();
    void EndPass();
    void End();

    // Device loss: texture values may point at targets that are about to be
    // released, so they are forgotten.
    void OnLostDevice();
    void OnResetDevice();

private:
    struct UniformBinding;
    struct SamplerBinding;
    struct CompiledPass;
    struct CompiledTechnique;

    explicit CompiledEffect(platform::Device& device, EffectDescription description);
    ParameterValue& Value(ParameterHandle parameter);
    const ParameterValue* ValueOf(ParameterHandle parameter) const;
    void SetFloats(ParameterHandle parameter, const float* values, std::size_t count);
    void GetFloats(ParameterHandle parameter, float* values, std::size_t count) const;
    void Upload();

    platform::Device& mDevice;
    EffectDescription mDescription;
    std::vector<ParameterValue> mOwnValues;
    std::vector<ParameterValue*> mValues; // own or shared, one per parameter
    std::vector<CompiledTechnique> mTechniques;
    TechniqueHandle mCurrentTechnique;
    const CompiledPass* mActivePass = nullptr;
};

} // namespace engine::gfx
