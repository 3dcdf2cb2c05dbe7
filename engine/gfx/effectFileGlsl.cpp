#include "engine/gfx/effectFileGlsl.h"

#include <cctype>
#include <set>

namespace engine::gfx {

namespace {

bool IsIdentifierPart(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Identifiers in GLSL text, outside comments.
void CollectIdentifiers(const std::string& code, std::set<std::string>& names) {
    std::size_t i = 0;
    while (i < code.size()) {
        if (code.compare(i, 2, "//") == 0) {
            i = code.find('\n', i);
            if (i == std::string::npos)
                return;
        } else if (code.compare(i, 2, "/*") == 0) {
            i = code.find("*/", i + 2);
            if (i == std::string::npos)
                return;
            i += 2;
        } else if (std::isalpha(static_cast<unsigned char>(code[i])) || code[i] == '_') {
            const std::size_t start = i;
            while (i < code.size() && IsIdentifierPart(code[i]))
                ++i;
            names.insert(code.substr(start, i - start));
        } else if (std::isdigit(static_cast<unsigned char>(code[i]))) {
            while (i < code.size() && IsIdentifierPart(code[i]))
                ++i;
        } else {
            ++i;
        }
    }
}

const char* GlslType(ParameterType type) {
    switch (type) {
    case ParameterType::Bool:
        return "bool";
    case ParameterType::Int:
        return "int";
    case ParameterType::Float:
        return "float";
    case ParameterType::Float2:
        return "vec2";
    case ParameterType::Float3:
        return "vec3";
    case ParameterType::Float4:
        return "vec4";
    case ParameterType::Float4x4:
        return "mat4";
    case ParameterType::Sampler2D:
        return "sampler2D";
    case ParameterType::SamplerCube:
        return "samplerCube";
    case ParameterType::Texture:
        break;
    }
    return nullptr;
}

class SourceBuilder {
public:
    void Line(const std::string& text) {
        mSource.text += text + "\n";
        mSource.fxLines.push_back(0);
    }

    void Code(const ShaderSource& block) {
        int fxLine = block.firstLine;
        std::size_t start = 0;
        while (start <= block.code.size()) {
            std::size_t end = block.code.find('\n', start);
            if (end == std::string::npos)
                end = block.code.size();
            mSource.text.append(block.code, start, end - start);
            mSource.text += "\n";
            mSource.fxLines.push_back(fxLine++);
            start = end + 1;
        }
    }

    GlslSource Take() { return std::move(mSource); }

private:
    GlslSource mSource;
};

// "technique T pass P", which names the program in driver logs and
// profiles.
std::string PassName(const EffectDescription& effect, const EffectPass& pass) {
    for (const EffectTechnique& technique : effect.techniques)
        for (const EffectPass& candidate : technique.passes)
            if (&candidate == &pass)
                return "technique " + technique.name + " pass " + pass.name;
    return "pass " + pass.name;
}

GlslSource BuildStage(const EffectDescription& effect, const EffectPass& pass,
                      const ShaderSource* shader, ShaderStage stage, std::set<std::string>& used) {
    std::set<std::string> names;
    for (const ShaderSource& common : effect.commonCode)
        CollectIdentifiers(common.code, names);
    if (shader)
        CollectIdentifiers(shader->code, names);

    SourceBuilder out;
    out.Line("#version 330 core");
    const char* stageName = stage == ShaderStage::Vertex ? "vertex" : "pixel";
    out.Line(std::string("// ") + stageName + " shader of " + PassName(effect, pass) + " from " +
             effect.file);
    for (const EffectParameter& parameter : effect.parameters) {
        const char* type = GlslType(parameter.type);
        if (!type || !names.count(parameter.name))
            continue;
        used.insert(parameter.name);
        std::string declaration = std::string("uniform ") + type + " " + parameter.name;
        if (parameter.arraySize)
            declaration += "[" + std::to_string(parameter.arraySize) + "]";
        out.Line(declaration + ";");
    }
    if (stage == ShaderStage::Vertex) {
        for (const VertexInput& input : kVertexInputs)
            if (names.count(input.name))
                out.Line("layout(location = " + std::to_string(input.location) + ") in vec4 " +
                         input.name + ";");
    } else {
        out.Line(std::string("layout(location = 0) out vec4 ") + kPixelOutput + ";");
    }
    for (const ShaderSource& common : effect.commonCode)
        out.Code(common);
    if (shader)
        out.Code(*shader);
    else if (stage == ShaderStage::Pixel)
        out.Line(std::string("void main() { ") + kPixelOutput + " = vec4(1.0); }");
    return out.Take();
}

} // namespace

int GlslSource::FxLine(int glslLine) const {
    if (glslLine < 1 || static_cast<std::size_t>(glslLine) > fxLines.size())
        return 0;
    return fxLines[static_cast<std::size_t>(glslLine) - 1];
}

GlslProgram GenerateGlsl(const EffectDescription& effect, const EffectPass& pass) {
    std::set<std::string> used;
    GlslProgram program;
    program.vertex =
        BuildStage(effect, pass, effect.FindShader(pass.vertexShader), ShaderStage::Vertex, used);
    const ShaderSource* pixel =
        pass.pixelShader.empty() ? nullptr : effect.FindShader(pass.pixelShader);
    program.fragment = BuildStage(effect, pass, pixel, ShaderStage::Pixel, used);
    for (const EffectParameter& parameter : effect.parameters) {
        if (!used.count(parameter.name))
            continue;
        program.uniforms.push_back(parameter.name);
        if (parameter.type == ParameterType::Sampler2D ||
            parameter.type == ParameterType::SamplerCube)
            program.samplers.push_back(parameter.name);
    }
    return program;
}

} // namespace engine::gfx
