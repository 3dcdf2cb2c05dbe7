#pragma once

#include "engine/platform/deviceTypes.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// What an effect file (".fx") declares, independent of any device: the
// parameters with their semantics, annotations and initial values, the GLSL
// shader blocks, and the techniques with their passes and render states.
namespace engine::gfx {

enum class ParameterType {
    Bool,
    Int,
    Float,
    Float2,
    Float3,
    Float4,
    Float4x4,
    Texture,
    Sampler2D,
    SamplerCube,
};

// Number of scalar components of one element of the type (0 for textures
// and samplers, which hold no numbers).
int ComponentCount(ParameterType type);

using AnnotationValue = std::variant<bool, std::int32_t, float, std::string>;

struct Annotation {
    std::string name;
    AnnotationValue value;
};

struct SamplerDescription {
    std::string texture; // the texture parameter the sampler reads; empty when none is named
    platform::SamplerState states;
};

struct EffectParameter {
    std::string name;
    ParameterType type = ParameterType::Float;
    std::uint32_t arraySize = 0; // 0: not an array
    std::string semantic;
    std::vector<Annotation> annotations;
    // All components of all elements in order (matrices row by row); bools
    // and ints as 0/1 and the integer. Empty: no initial value, all zero.
    std::vector<float> initialValue;
    bool shared = false; // one value common to every effect
    SamplerDescription sampler;
    int line = 0;
};

enum class ShaderStage { Vertex, Pixel };

struct ShaderSource {
    std::string name;
    ShaderStage stage = ShaderStage::Vertex;
    std::string code;  // the GLSL between the block's braces
    int firstLine = 0; // effect-file line of the code's first line
};

struct EffectPass {
    std::string name;
    std::string vertexShader;
    std::string pixelShader;               // empty: the pass has no pixel shader
    std::uint32_t vertexShaderVersion = 0; // 0xFFFE0200 for vs_2_0 ...
    std::uint32_t pixelShaderVersion = 0;  // 0xFFFF0200 for ps_2_0 ...; 0 without pixel shader
    platform::RenderStates states;
    int line = 0;
};

struct EffectTechnique {
    std::string name;
    std::vector<Annotation> annotations;
    std::vector<EffectPass> passes;
    int line = 0;
};

struct EffectDescription {
    std::string file;
    std::vector<EffectParameter> parameters;
    std::vector<ShaderSource> commonCode; // "glsl" blocks, put before every shader
    std::vector<ShaderSource> shaders;
    std::vector<EffectTechnique> techniques;

    // Lookups return nullptr when there is no such item.
    const EffectParameter* FindParameter(const std::string& name) const;
    const EffectParameter* FindParameterBySemantic(const std::string& semantic) const;
    const EffectTechnique* FindTechnique(const std::string& name) const;
    const ShaderSource* FindShader(const std::string& name) const;
};

const Annotation* FindAnnotation(const std::vector<Annotation>& annotations,
                                 const std::string& name);

} // namespace engine::gfx
