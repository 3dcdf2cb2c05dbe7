#include "engine/gfx/compiledEffect.h"

#include "engine/gfx/effectFileGlsl.h"
#include "engine/math/matrix4x4.h"
#include "engine/math/vector4f.h"
#include "engine/platform/device.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <sstream>

namespace engine::gfx {

namespace {

bool IsIntegral(ParameterType type) {
    return type == ParameterType::Bool || type == ParameterType::Int;
}

std::size_t WordCount(const EffectParameter& parameter) {
    return std::size_t(ComponentCount(parameter.type)) *
           std::max<std::uint32_t>(parameter.arraySize, 1);
}

platform::UniformType UniformTypeOf(ParameterType type) {
    switch (type) {
    case ParameterType::Bool:
        return platform::UniformType::Bool;
    case ParameterType::Int:
        return platform::UniformType::Int;
    case ParameterType::Float:
        return platform::UniformType::Float;
    case ParameterType::Float2:
        return platform::UniformType::Float2;
    case ParameterType::Float3:
        return platform::UniformType::Float3;
    case ParameterType::Float4:
        return platform::UniformType::Float4;
    case ParameterType::Float4x4:
        return platform::UniformType::Float4x4;
    case ParameterType::Sampler2D:
        return platform::UniformType::Sampler2D;
    case ParameterType::SamplerCube:
        return platform::UniformType::SamplerCube;
    case ParameterType::Texture:
        break;
    }
    return platform::UniformType::Other;
}

std::uint32_t WordOf(ParameterType type, float value) {
    return IsIntegral(type) ? std::bit_cast<std::uint32_t>(static_cast<std::int32_t>(value))
                            : std::bit_cast<std::uint32_t>(value);
}

// Raw bytes address a matrix as a shader's registers hold it: column by
// column, the way D3DX reads a block set into a float4x4. The store keeps
// matrices row by row, so raw access goes through the transposed words.
void TransposeMatrices(std::vector<std::uint32_t>& words) {
    for (std::size_t base = 0; base + 16 <= words.size(); base += 16)
        for (std::size_t row = 0; row < 4; ++row)
            for (std::size_t column = row + 1; column < 4; ++column)
                std::swap(words[base + row * 4 + column], words[base + column * 4 + row]);
}

float FloatOf(ParameterType type, std::uint32_t word) {
    return IsIntegral(type) ? static_cast<float>(std::bit_cast<std::int32_t>(word))
                            : std::bit_cast<float>(word);
}

ParameterValue InitialValue(const EffectParameter& parameter) {
    ParameterValue value;
    value.words.assign(WordCount(parameter), 0);
    const std::size_t count = std::min(value.words.size(), parameter.initialValue.size());
    for (std::size_t i = 0; i < count; ++i)
        value.words[i] = WordOf(parameter.type, parameter.initialValue[i]);
    return value;
}

// "vertex shader: 0:12(5): error: ..." becomes "file(line): error: ..." with
// the effect-file line of the generated GLSL line.
std::string MapCompilerLog(const std::string& log, const std::string& file,
                           const GlslProgram& glsl) {
    std::istringstream lines(log);
    std::string line, out;
    const GlslSource* stage = &glsl.vertex;
    while (std::getline(lines, line)) {
        for (auto [prefix, source] : {std::pair{"vertex shader: ", &glsl.vertex},
                                      std::pair{"fragment shader: ", &glsl.fragment}}) {
            if (line.starts_with(prefix)) {
                line.erase(0, std::strlen(prefix));
                stage = source;
            }
        }
        if (line.empty())
            continue;
        int glslLine = 0;
        std::size_t colon = line.find(':'), open = line.find('('), close = line.find("):");
        if (colon != std::string::npos && open != std::string::npos && close != std::string::npos &&
            colon < open && open < close) {
            try {
                glslLine = std::stoi(line.substr(colon + 1, open - colon - 1));
                line.erase(0, close + 3);
            } catch (const std::exception&) {
                glslLine = 0;
            }
        }
        out += file + "(" + std::to_string(stage->FxLine(glslLine)) + "): " + line + "\n";
    }
    return out;
}

} // namespace

SharedParameterPool& SharedParameterPool::Instance() {
    // Never destroyed: effects may be released during static destruction.
    static auto* pool = new SharedParameterPool;
    return *pool;
}

ParameterValue* SharedParameterPool::Declare(const EffectParameter& parameter) {
    auto [it, inserted] = mEntries.try_emplace(
        parameter.name, Entry{parameter.type, parameter.arraySize, ParameterValue{}});
    if (inserted)
        it->second.value = InitialValue(parameter);
    else if (it->second.type != parameter.type || it->second.arraySize != parameter.arraySize)
        return nullptr;
    return &it->second.value;
}

void SharedParameterPool::Clear() {
    mEntries.clear();
}

struct CompiledEffect::UniformBinding {
    int location;
    platform::UniformType type;
    int count;
    const ParameterValue* value;
    // The words the program was last given: most parameters stay the same
    // from draw to draw, and those are not sent again.
    mutable std::vector<std::uint32_t> sent;
};

struct CompiledEffect::SamplerBinding {
    int unit;
    const ParameterValue* texture; // the value holding the texture the sampler reads
    platform::SamplerState state;
};

struct CompiledEffect::CompiledPass {
    std::unique_ptr<platform::Program> program;
    platform::RenderStates states;
    std::vector<UniformBinding> uniforms;
    std::vector<SamplerBinding> samplers;
};

struct CompiledEffect::CompiledTechnique {
    std::vector<CompiledPass> passes;
};

CompiledEffect::CompiledEffect(platform::Device& device, EffectDescription description)
    : mDevice(device), mDescription(std::move(description)) {}

CompiledEffect::~CompiledEffect() = default;

std::unique_ptr<CompiledEffect> CompiledEffect::Create(platform::Device& device,
                                                       EffectDescription description,
                                                       std::string& errors) {
    errors.clear();
    std::unique_ptr<CompiledEffect> effect(new CompiledEffect(device, std::move(description)));
    const EffectDescription& model = effect->mDescription;

    effect->mOwnValues.reserve(model.parameters.size());
    for (const EffectParameter& parameter : model.parameters)
        effect->mOwnValues.push_back(parameter.shared ? ParameterValue{} : InitialValue(parameter));
    for (std::size_t i = 0; i < model.parameters.size(); ++i) {
        const EffectParameter& parameter = model.parameters[i];
        ParameterValue* value = &effect->mOwnValues[i];
        if (parameter.shared) {
            value = SharedParameterPool::Instance().Declare(parameter);
            if (!value)
                errors += model.file + "(" + std::to_string(parameter.line) +
                          "): shared parameter " + parameter.name +
                          " is declared differently in another effect\n";
        }
        effect->mValues.push_back(value);
    }

    for (const EffectTechnique& technique : model.techniques) {
        CompiledTechnique& compiled = effect->mTechniques.emplace_back();
        for (const EffectPass& pass : technique.passes) {
            CompiledPass& out = compiled.passes.emplace_back();
            const GlslProgram glsl = GenerateGlsl(model, pass);
            platform::ProgramResult result =
                device.CreateProgram({glsl.vertex.text, glsl.fragment.text, {}});
            if (!result.program) {
                errors += MapCompilerLog(result.log, model.file, glsl);
                continue;
            }
            out.program = std::move(result.program);
            out.states = pass.states;
            for (const std::string& name : glsl.uniforms) {
                const ParameterHandle handle = effect->GetParameterByName(name);
                const platform::UniformInfo* uniform = out.program->FindUniform(name);
                if (!handle || !uniform || uniform->location < 0)
                    continue;
                const EffectParameter& parameter = model.parameters[std::size_t(handle.index)];
                const int count = static_cast<int>(std::max<std::uint32_t>(parameter.arraySize, 1));
                const ParameterValue* value = effect->mValues[std::size_t(handle.index)];
                if (parameter.type == ParameterType::Sampler2D ||
                    parameter.type == ParameterType::SamplerCube) {
                    const int unit = static_cast<int>(out.samplers.size());
                    device.SetUniform(out.program.get(), uniform->location,
                                      platform::UniformType::Int, &unit);
                    const ParameterHandle texture =
                        effect->GetParameterByName(parameter.sampler.texture);
                    out.samplers.push_back(
                        {unit, texture ? effect->mValues[std::size_t(texture.index)] : value,
                         parameter.sampler.states});
                } else if (value) {
                    out.uniforms.push_back(
                        {uniform->location, UniformTypeOf(parameter.type), count, value, {}});
                }
            }
        }
    }
    if (!errors.empty())
        return nullptr;
    return effect;
}

int CompiledEffect::ParameterCount() const {
    return static_cast<int>(mDescription.parameters.size());
}

ParameterHandle CompiledEffect::GetParameter(int index) const {
    return index >= 0 && index < ParameterCount() ? ParameterHandle{index} : ParameterHandle{};
}

ParameterHandle CompiledEffect::GetParameterByName(const std::string& name) const {
    const EffectParameter* parameter = mDescription.FindParameter(name);
    return parameter ? ParameterHandle{static_cast<std::int32_t>(parameter -
                                                                 mDescription.parameters.data())}
                     : ParameterHandle{};
}

ParameterHandle CompiledEffect::GetParameterBySemantic(const std::string& semantic) const {
    const EffectParameter* parameter = mDescription.FindParameterBySemantic(semantic);
    return parameter ? ParameterHandle{static_cast<std::int32_t>(parameter -
                                                                 mDescription.parameters.data())}
                     : ParameterHandle{};
}

const EffectParameter& CompiledEffect::GetParameterDesc(ParameterHandle parameter) const {
    return mDescription.parameters.at(std::size_t(parameter.index));
}

const Annotation* CompiledEffect::GetAnnotationByName(ParameterHandle parameter,
                                                      const std::string& name) const {
    return parameter && parameter.index < ParameterCount()
               ? FindAnnotation(mDescription.parameters[std::size_t(parameter.index)].annotations,
                                name)
               : nullptr;
}

int CompiledEffect::TechniqueCount() const {
    return static_cast<int>(mDescription.techniques.size());
}

TechniqueHandle CompiledEffect::GetTechnique(int index) const {
    return index >= 0 && index < TechniqueCount() ? TechniqueHandle{index} : TechniqueHandle{};
}

TechniqueHandle CompiledEffect::GetTechniqueByName(const std::string& name) const {
    const EffectTechnique* technique = mDescription.FindTechnique(name);
    return technique ? TechniqueHandle{static_cast<std::int32_t>(technique -
                                                                 mDescription.techniques.data())}
                     : TechniqueHandle{};
}

const EffectTechnique& CompiledEffect::GetTechniqueDesc(TechniqueHandle technique) const {
    return mDescription.techniques.at(std::size_t(technique.index));
}

const Annotation* CompiledEffect::GetAnnotationByName(TechniqueHandle technique,
                                                      const std::string& name) const {
    return technique && technique.index < TechniqueCount()
               ? FindAnnotation(mDescription.techniques[std::size_t(technique.index)].annotations,
                                name)
               : nullptr;
}

std::uint32_t CompiledEffect::GetPixelShaderVersion(TechniqueHandle technique, int pass) const {
    const auto& passes = GetTechniqueDesc(technique).passes;
    return pass >= 0 && std::size_t(pass) < passes.size()
               ? passes[std::size_t(pass)].pixelShaderVersion
               : 0;
}

bool CompiledEffect::ValidateTechnique(TechniqueHandle technique) const {
    if (!technique || technique.index >= TechniqueCount())
        return false;
    // Version tokens differ in their upper half between the stages; compare
    // major and minor only.
    const platform::DeviceCaps& caps = mDevice.GetCaps();
    for (const EffectPass& pass : mDescription.techniques[std::size_t(technique.index)].passes) {
        if ((pass.pixelShaderVersion & 0xFFFF) > (caps.pixelShaderVersion & 0xFFFF) ||
            (pass.vertexShaderVersion & 0xFFFF) > (caps.vertexShaderVersion & 0xFFFF))
            return false;
    }
    for (const CompiledPass& pass : mTechniques[std::size_t(technique.index)].passes)
        if (!pass.program)
            return false;
    return true;
}

void CompiledEffect::SetTechnique(TechniqueHandle technique) {
    if (technique && technique.index < TechniqueCount())
        mCurrentTechnique = technique;
}

const ParameterValue* CompiledEffect::ValueOf(ParameterHandle parameter) const {
    if (!parameter || parameter.index >= ParameterCount())
        return nullptr;
    return mValues[std::size_t(parameter.index)];
}

ParameterValue& CompiledEffect::Value(ParameterHandle parameter) {
    return *mValues[std::size_t(parameter.index)];
}

void CompiledEffect::SetFloats(ParameterHandle parameter, const float* values, std::size_t count) {
    if (!ValueOf(parameter) || !values)
        return;
    const ParameterType type = GetParameterDesc(parameter).type;
    ParameterValue& value = Value(parameter);
    count = std::min(count, value.words.size());
    for (std::size_t i = 0; i < count; ++i)
        value.words[i] = WordOf(type, values[i]);
}

void CompiledEffect::GetFloats(ParameterHandle parameter, float* values, std::size_t count) const {
    std::fill(values, values + count, 0.0f);
    const ParameterValue* value = ValueOf(parameter);
    if (!value)
        return;
    const ParameterType type = GetParameterDesc(parameter).type;
    count = std::min(count, value->words.size());
    for (std::size_t i = 0; i < count; ++i)
        values[i] = FloatOf(type, value->words[i]);
}

void CompiledEffect::SetBool(ParameterHandle parameter, bool value) {
    SetInt(parameter, value ? 1 : 0);
}

bool CompiledEffect::GetBool(ParameterHandle parameter) const {
    return GetInt(parameter) != 0;
}

void CompiledEffect::SetInt(ParameterHandle parameter, std::int32_t value) {
    const float number = static_cast<float>(value);
    SetFloats(parameter, &number, 1);
}

std::int32_t CompiledEffect::GetInt(ParameterHandle parameter) const {
    float number = 0.0f;
    GetFloats(parameter, &number, 1);
    return static_cast<std::int32_t>(number);
}

void CompiledEffect::SetFloat(ParameterHandle parameter, float value) {
    SetFloats(parameter, &value, 1);
}

float CompiledEffect::GetFloat(ParameterHandle parameter) const {
    float number = 0.0f;
    GetFloats(parameter, &number, 1);
    return number;
}

void CompiledEffect::SetVector(ParameterHandle parameter, const math::Vector4f& value) {
    const float values[4] = {value.x, value.y, value.z, value.w};
    SetFloats(parameter, values, 4);
}

math::Vector4f CompiledEffect::GetVector(ParameterHandle parameter) const {
    float values[4];
    GetFloats(parameter, values, 4);
    return {values[0], values[1], values[2], values[3]};
}

void CompiledEffect::SetMatrix(ParameterHandle parameter, const math::Matrix4x4& value) {
    SetFloats(parameter, value.m, 16);
}

math::Matrix4x4 CompiledEffect::GetMatrix(ParameterHandle parameter) const {
    math::Matrix4x4 matrix;
    GetFloats(parameter, matrix.m, 16);
    return matrix;
}

void CompiledEffect::SetFloatArray(ParameterHandle parameter, const float* values, int count) {
    SetFloats(parameter, values, std::size_t(std::max(count, 0)));
}

void CompiledEffect::SetMatrixArray(ParameterHandle parameter, const math::Matrix4x4* values,
                                    int count) {
    if (!ValueOf(parameter) || !values)
        return;
    ParameterValue& value = Value(parameter);
    const std::size_t words = std::min(value.words.size(), std::size_t(std::max(count, 0)) * 16);
    for (std::size_t i = 0; i < words; ++i)
        value.words[i] = std::bit_cast<std::uint32_t>(values[i / 16].m[i % 16]);
}

void CompiledEffect::SetRawValue(ParameterHandle parameter, const void* data, std::uint32_t offset,
                                 std::uint32_t bytes) {
    if (!ValueOf(parameter) || !data)
        return;
    ParameterValue& value = Value(parameter);
    const std::size_t size = value.words.size() * sizeof(std::uint32_t);
    if (offset >= size)
        return;
    const bool matrix = GetParameterDesc(parameter).type == ParameterType::Float4x4;
    if (matrix)
        TransposeMatrices(value.words);
    std::memcpy(reinterpret_cast<unsigned char*>(value.words.data()) + offset, data,
                std::min<std::size_t>(bytes, size - offset));
    if (matrix)
        TransposeMatrices(value.words);
}

void CompiledEffect::GetValue(ParameterHandle parameter, void* data, std::uint32_t bytes) const {
    std::memset(data, 0, bytes);
    const ParameterValue* value = ValueOf(parameter);
    if (!value)
        return;
    std::vector<std::uint32_t> words = value->words;
    if (GetParameterDesc(parameter).type == ParameterType::Float4x4)
        TransposeMatrices(words);
    std::memcpy(data, words.data(),
                std::min<std::size_t>(bytes, words.size() * sizeof(std::uint32_t)));
}

void CompiledEffect::SetTexture(ParameterHandle parameter, platform::BaseTexture* texture) {
    if (ValueOf(parameter))
        Value(parameter).texture = texture;
}

platform::BaseTexture* CompiledEffect::GetTexture(ParameterHandle parameter) const {
    const ParameterValue* value = ValueOf(parameter);
    return value ? value->texture : nullptr;
}

int CompiledEffect::Begin() {
    if (!mCurrentTechnique)
        mCurrentTechnique = GetTechnique(0);
    if (!mCurrentTechnique)
        return 0;
    return static_cast<int>(mTechniques[std::size_t(mCurrentTechnique.index)].passes.size());
}

bool CompiledEffect::BeginPass(int pass) {
    if (!mCurrentTechnique)
        return false;
    const auto& passes = mTechniques[std::size_t(mCurrentTechnique.index)].passes;
    if (pass < 0 || std::size_t(pass) >= passes.size() || !passes[std::size_t(pass)].program)
        return false;
    mActivePass = &passes[std::size_t(pass)];
    mDevice.SetProgram(mActivePass->program.get());
    mDevice.ApplyRenderStates(mActivePass->states);
    Upload();
    return true;
}

void CompiledEffect::CommitChanges() {
    if (mActivePass)
        Upload();
}

void CompiledEffect::Upload() {
    platform::Program* program = mActivePass->program.get();
    for (const UniformBinding& uniform : mActivePass->uniforms) {
        if (uniform.sent == uniform.value->words)
            continue;
        uniform.sent = uniform.value->words;
        mDevice.SetUniform(program, uniform.location, uniform.type, uniform.value->words.data(),
                           uniform.count);
    }
    for (const SamplerBinding& sampler : mActivePass->samplers) {
        mDevice.SetTexture(sampler.unit, sampler.texture ? sampler.texture->texture : nullptr);
        mDevice.SetSamplerState(sampler.unit, sampler.state);
    }
}

void CompiledEffect::EndPass() {
    mActivePass = nullptr;
}

void CompiledEffect::End() {
    mActivePass = nullptr;
    mDevice.ApplyRenderStates(platform::RenderStates{});
}

void CompiledEffect::OnLostDevice() {
    for (ParameterValue* value : mValues)
        if (value)
            value->texture = nullptr;
}

void CompiledEffect::OnResetDevice() {
    // Programs survive a reset; textures are set again before the next draw.
}

} // namespace engine::gfx
