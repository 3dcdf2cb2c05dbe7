#include "engine/gfx/effectFileParser.h"

#include "engine/core/log.h"
#include "engine/gfx/effectFileTokenizer.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <set>

namespace engine::gfx {

namespace {

using Kind = EffectToken::Kind;

bool SameWord(const std::string& a, const char* b) {
    const std::string other(b);
    return a.size() == other.size() &&
           std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool IsWholeInt32(double value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max() && value == std::trunc(value);
}

template <class Enum> struct EnumWord {
    const char* word;
    Enum value;
};

const EnumWord<platform::CompareFunc> kCompareWords[] = {
    {"Never", platform::CompareFunc::Never},
    {"Less", platform::CompareFunc::Less},
    {"Equal", platform::CompareFunc::Equal},
    {"LessEqual", platform::CompareFunc::LessEqual},
    {"Greater", platform::CompareFunc::Greater},
    {"NotEqual", platform::CompareFunc::NotEqual},
    {"GreaterEqual", platform::CompareFunc::GreaterEqual},
    {"Always", platform::CompareFunc::Always},
};
const EnumWord<platform::CullMode> kCullWords[] = {{"None", platform::CullMode::None},
                                                   {"CW", platform::CullMode::Clockwise},
                                                   {"CCW", platform::CullMode::CounterClockwise}};
const EnumWord<platform::FillMode> kFillWords[] = {{"Point", platform::FillMode::Point},
                                                   {"Wireframe", platform::FillMode::Wireframe},
                                                   {"Solid", platform::FillMode::Solid}};
const EnumWord<platform::Blend> kBlendWords[] = {
    {"Zero", platform::Blend::Zero},
    {"One", platform::Blend::One},
    {"SrcColor", platform::Blend::SrcColor},
    {"InvSrcColor", platform::Blend::InvSrcColor},
    {"SrcAlpha", platform::Blend::SrcAlpha},
    {"InvSrcAlpha", platform::Blend::InvSrcAlpha},
    {"DestAlpha", platform::Blend::DestAlpha},
    {"InvDestAlpha", platform::Blend::InvDestAlpha},
    {"DestColor", platform::Blend::DestColor},
    {"InvDestColor", platform::Blend::InvDestColor},
    {"SrcAlphaSat", platform::Blend::SrcAlphaSat},
};
const EnumWord<platform::BlendOp> kBlendOperationWords[] = {
    {"Add", platform::BlendOp::Add},
    {"Subtract", platform::BlendOp::Subtract},
    {"RevSubtract", platform::BlendOp::RevSubtract},
    {"Min", platform::BlendOp::Min},
    {"Max", platform::BlendOp::Max},
};
const EnumWord<platform::TextureFilter> kFilterWords[] = {
    {"None", platform::TextureFilter::None},
    {"Point", platform::TextureFilter::Point},
    {"Linear", platform::TextureFilter::Linear},
    {"Anisotropic", platform::TextureFilter::Anisotropic},
};
const EnumWord<platform::TextureAddress> kAddressWords[] = {
    {"Wrap", platform::TextureAddress::Wrap},
    {"Mirror", platform::TextureAddress::Mirror},
    {"Clamp", platform::TextureAddress::Clamp},
    {"Border", platform::TextureAddress::Border},
    {"MirrorOnce", platform::TextureAddress::MirrorOnce},
};
const EnumWord<std::uint32_t> kColorWriteWords[] = {
    {"Red", platform::ColorWriteRed},
    {"Green", platform::ColorWriteGreen},
    {"Blue", platform::ColorWriteBlue},
    {"Alpha", platform::ColorWriteAlpha},
};
const EnumWord<ParameterType> kTypeWords[] = {
    {"bool", ParameterType::Bool},
    {"int", ParameterType::Int},
    {"float", ParameterType::Float},
    {"float2", ParameterType::Float2},
    {"float3", ParameterType::Float3},
    {"float4", ParameterType::Float4},
    {"float4x4", ParameterType::Float4x4},
    {"texture", ParameterType::Texture},
    {"texture2D", ParameterType::Texture},
    {"textureCUBE", ParameterType::Texture},
    {"sampler", ParameterType::Sampler2D},
    {"sampler2D", ParameterType::Sampler2D},
    {"samplerCUBE", ParameterType::SamplerCube},
};

// Shader profiles and their version tokens: upper half FFFF for pixel and
// FFFE for vertex shaders, then major and minor version.
struct Profile {
    const char* word;
    std::uint32_t version;
};
const Profile kPixelProfiles[] = {
    {"ps_1_1", 0xFFFF0101}, {"ps_1_2", 0xFFFF0102}, {"ps_1_3", 0xFFFF0103}, {"ps_1_4", 0xFFFF0104},
    {"ps_2_0", 0xFFFF0200}, {"ps_2_a", 0xFFFF0201}, {"ps_2_b", 0xFFFF0201}, {"ps_3_0", 0xFFFF0300},
};
const Profile kVertexProfiles[] = {
    {"vs_1_1", 0xFFFE0101},
    {"vs_2_0", 0xFFFE0200},
    {"vs_2_a", 0xFFFE0201},
    {"vs_3_0", 0xFFFE0300},
};

class Parser {
public:
    Parser(const std::string& file, const std::string& text) : mTokens(file, text) {
        mResult.file = file;
        Advance();
    }

    EffectDescription Parse() {
        while (mToken.kind != Kind::End)
            TopLevel();
        if (mResult.techniques.empty())
            Fail(mToken.line, "the effect declares no technique");
        Check();
        return std::move(mResult);
    }

private:
    [[noreturn]] void Fail(int line, const std::string& message) const {
        core::Logging::Get()->Error(mResult.file + "(" + std::to_string(line) + "): " + message,
                                    ".\\effectFileParser.cpp", __LINE__);
    }

    std::string Describe(const EffectToken& token) const {
        switch (token.kind) {
        case Kind::End:
            return "the end of the file";
        case Kind::String:
            return "\"" + token.text + "\"";
        default:
            return "'" + token.text + "'";
        }
    }

    void Advance() { mToken = mTokens.Next(); }

    bool IsSymbol(const char* symbol) const {
        return mToken.kind == Kind::Symbol && mToken.text == symbol;
    }

    bool IsWord(const char* word) const {
        return mToken.kind == Kind::Identifier && mToken.text == word;
    }

    void Expect(const char* symbol) {
        if (!IsSymbol(symbol))
            Fail(mToken.line,
                 std::string("expected '") + symbol + "' but found " + Describe(mToken));
        Advance();
    }

    std::string ExpectIdentifier(const char* what) {
        if (mToken.kind != Kind::Identifier)
            Fail(mToken.line, std::string("expected ") + what + " but found " + Describe(mToken));
        std::string text = mToken.text;
        Advance();
        return text;
    }

    template <class Enum, std::size_t N>
    Enum ExpectEnum(const EnumWord<Enum> (&words)[N], const std::string& what) {
        const EffectToken token = mToken;
        const std::string word = ExpectIdentifier(what.c_str());
        for (const auto& entry : words)
            if (SameWord(word, entry.word))
                return entry.value;
        Fail(token.line, "unknown " + what + " '" + word + "'");
    }

    // A number, optionally negative; true and false count as 1 and 0.
    double ExpectNumber() {
        if (IsWord("true") || IsWord("TRUE") || IsWord("false") || IsWord("FALSE")) {
            const bool value = SameWord(mToken.text, "true");
            Advance();
            return value ? 1.0 : 0.0;
        }
        bool negative = false;
        if (IsSymbol("-")) {
            negative = true;
            Advance();
        }
        if (mToken.kind != Kind::Number)
            Fail(mToken.line, "expected a number but found " + Describe(mToken));
        const std::string& text = mToken.text;
        double value = 0.0;
        std::from_chars_result result{};
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            std::uint32_t integer = 0;
            result = std::from_chars(text.data() + 2, text.data() + text.size(), integer, 16);
            value = integer;
        } else {
            result = std::from_chars(text.data(), text.data() + text.size(), value);
        }
        if (result.ec != std::errc() || result.ptr != text.data() + text.size())
            Fail(mToken.line, "malformed number '" + text + "'");
        // Every number ends up in a float (ints too), so larger ones cannot be meant.
        if (value > std::numeric_limits<float>::max())
            Fail(mToken.line, "number '" + text + "' is out of range");
        Advance();
        return negative ? -value : value;
    }

    bool ExpectBool() {
        const int line = mToken.line;
        const double value = ExpectNumber();
        if (value != 0.0 && value != 1.0)
            Fail(line, "expected true or false");
        return value != 0.0;
    }

    std::uint32_t ExpectInteger(std::uint32_t low, std::uint32_t high, const std::string& what) {
        const int line = mToken.line;
        const double value = ExpectNumber();
        if (!(value >= low && value <= high) || value != static_cast<std::uint32_t>(value))
            Fail(line, what + " must be a whole number from " + std::to_string(low) + " to " +
                           std::to_string(high));
        return static_cast<std::uint32_t>(value);
    }

    void TopLevel() {
        if (IsWord("technique")) {
            Technique();
        } else if (IsWord("vertexshader") || IsWord("pixelshader")) {
            const ShaderStage stage =
                IsWord("vertexshader") ? ShaderStage::Vertex : ShaderStage::Pixel;
            Advance();
            ShaderSource shader;
            shader.stage = stage;
            const int line = mToken.line;
            shader.name = ExpectIdentifier("a shader name");
            Declare(shader.name, line);
            shader.code = RawBlock(shader.firstLine);
            mResult.shaders.push_back(std::move(shader));
        } else if (IsWord("glsl")) {
            Advance();
            ShaderSource common;
            common.code = RawBlock(common.firstLine);
            mResult.commonCode.push_back(std::move(common));
        } else {
            Parameter();
        }
    }

    std::string RawBlock(int& firstLine) {
        if (!IsSymbol("{"))
            Fail(mToken.line, "expected '{' but found " + Describe(mToken));
        std::string code = mTokens.ReadRawBlock(firstLine);
        Advance();
        return code;
    }

    void Declare(const std::string& name, int line) {
        if (!mNames.insert(name).second)
            Fail(line, "'" + name + "' is declared twice");
    }

    std::vector<Annotation> Annotations() {
        std::vector<Annotation> annotations;
        if (!IsSymbol("<"))
            return annotations;
        Advance();
        while (!IsSymbol(">")) {
            Annotation annotation;
            const int line = mToken.line;
            const std::string type = ExpectIdentifier("an annotation type or '>'");
            annotation.name = ExpectIdentifier("an annotation name");
            Expect("=");
            if (type == "string") {
                if (mToken.kind != Kind::String)
                    Fail(mToken.line, "expected a string but found " + Describe(mToken));
                annotation.value = mToken.text;
                Advance();
            } else if (type == "bool") {
                annotation.value = ExpectBool();
            } else if (type == "int") {
                const double value = ExpectNumber();
                if (!IsWholeInt32(value))
                    Fail(line, "int annotation '" + annotation.name + "' is not a whole number");
                annotation.value = static_cast<std::int32_t>(value);
            } else if (type == "float") {
                annotation.value = static_cast<float>(ExpectNumber());
            } else {
                Fail(line, "unknown annotation type '" + type + "'");
            }
            Expect(";");
            annotations.push_back(std::move(annotation));
        }
        Advance();
        return annotations;
    }

    void Parameter() {
        EffectParameter parameter;
        parameter.line = mToken.line;
        if (IsWord("shared")) {
            parameter.shared = true;
            Advance();
        }
        if (IsWord("uniform"))
            Advance();
        parameter.type = ExpectEnum(kTypeWords, "type");
        const int nameLine = mToken.line;
        parameter.name = ExpectIdentifier("a parameter name");
        Declare(parameter.name, nameLine);
        if (IsSymbol("[")) {
            Advance();
            parameter.arraySize = ExpectInteger(1, kEffectArraySizeLimit, "an array size");
            Expect("]");
        }
        if (IsSymbol(":")) {
            Advance();
            parameter.semantic = ExpectIdentifier("a semantic");
        }
        parameter.annotations = Annotations();
        if (IsSymbol("=")) {
            Advance();
            InitialValue(parameter);
        }
        Expect(";");
        mResult.parameters.push_back(std::move(parameter));
    }

    void InitialValue(EffectParameter& parameter) {
        const int line = mToken.line;
        if (parameter.type == ParameterType::Sampler2D ||
            parameter.type == ParameterType::SamplerCube) {
            SamplerStates(parameter);
            return;
        }
        if (parameter.type == ParameterType::Texture)
            Fail(line, "texture '" + parameter.name + "' cannot have an initial value");
        const std::size_t count = static_cast<std::size_t>(ComponentCount(parameter.type)) *
                                  std::max<std::uint32_t>(parameter.arraySize, 1);
        std::vector<float>& values = parameter.initialValue;
        const bool braced = IsSymbol("{");
        const bool constructed = !braced && mToken.kind == Kind::Identifier && !IsWord("true") &&
                                 !IsWord("false") && !IsWord("TRUE") && !IsWord("FALSE");
        if (constructed) {
            if (ExpectEnum(kTypeWords, "type") != parameter.type || parameter.arraySize != 0)
                Fail(line, "initial value of '" + parameter.name + "' has the wrong type");
            Expect("(");
        } else if (braced) {
            Advance();
        }
        const char* closer = constructed ? ")" : "}";
        if (braced || constructed) {
            while (!IsSymbol(closer)) {
                if (values.size() == count)
                    Fail(mToken.line, "too many values for '" + parameter.name + "'");
                values.push_back(static_cast<float>(ExpectNumber()));
                if (!IsSymbol(closer))
                    Expect(",");
            }
            Advance();
        } else {
            values.push_back(static_cast<float>(ExpectNumber()));
        }
        if (values.size() != count)
            Fail(line, "'" + parameter.name + "' needs " + std::to_string(count) +
                           " initial values, not " + std::to_string(values.size()));
        if (parameter.type == ParameterType::Bool)
            for (float& value : values)
                value = value != 0.0f ? 1.0f : 0.0f;
        if (parameter.type == ParameterType::Int)
            for (float value : values)
                if (!IsWholeInt32(value))
                    Fail(line,
                         "initial value of int '" + parameter.name + "' is not a whole number");
    }

    void SamplerStates(EffectParameter& parameter) {
        if (!IsWord("sampler_state"))
            Fail(mToken.line, "expected sampler_state but found " + Describe(mToken));
        Advance();
        Expect("{");
        platform::SamplerState& states = parameter.sampler.states;
        while (!IsSymbol("}")) {
            const EffectToken state = mToken;
            const std::string name = ExpectIdentifier("a sampler state or '}'");
            Expect("=");
            if (SameWord(name, "Texture")) {
                // Direct3D writes the texture as <name> or (name); both are accepted.
                const char* closer = IsSymbol("<") ? ">" : IsSymbol("(") ? ")" : nullptr;
                if (closer)
                    Advance();
                parameter.sampler.texture = ExpectIdentifier("a texture parameter");
                if (closer)
                    Expect(closer);
            } else if (SameWord(name, "MinFilter")) {
                states.minFilter = ExpectEnum(kFilterWords, "filter");
            } else if (SameWord(name, "MagFilter")) {
                states.magFilter = ExpectEnum(kFilterWords, "filter");
            } else if (SameWord(name, "MipFilter")) {
                states.mipFilter = ExpectEnum(kFilterWords, "filter");
            } else if (SameWord(name, "AddressU")) {
                states.addressU = ExpectEnum(kAddressWords, "address mode");
            } else if (SameWord(name, "AddressV")) {
                states.addressV = ExpectEnum(kAddressWords, "address mode");
            } else if (SameWord(name, "AddressW")) {
                states.addressW = ExpectEnum(kAddressWords, "address mode");
            } else if (SameWord(name, "MaxAnisotropy")) {
                states.maxAnisotropy = ExpectInteger(1, 16, "MaxAnisotropy");
            } else {
                Fail(state.line, "unknown sampler state '" + name + "'");
            }
            Expect(";");
        }
        Advance();
    }

    void Technique() {
        Advance();
        EffectTechnique technique;
        technique.line = mToken.line;
        technique.name = ExpectIdentifier("a technique name");
        Declare(technique.name, technique.line);
        technique.annotations = Annotations();
        Expect("{");
        while (!IsSymbol("}")) {
            if (!IsWord("pass"))
                Fail(mToken.line, "expected 'pass' or '}' but found " + Describe(mToken));
            technique.passes.push_back(Pass(technique));
        }
        Advance();
        mResult.techniques.push_back(std::move(technique));
    }

    EffectPass Pass(const EffectTechnique& technique) {
        EffectPass pass;
        pass.line = mToken.line;
        Advance();
        if (mToken.kind == Kind::Identifier)
            pass.name = ExpectIdentifier("a pass name");
        else
            pass.name = "P" + std::to_string(technique.passes.size());
        for (const EffectPass& other : technique.passes)
            if (other.name == pass.name)
                Fail(pass.line, "pass '" + pass.name + "' is declared twice in technique '" +
                                    technique.name + "'");
        Expect("{");
        bool hasVertexShader = false;
        platform::RenderStates& states = pass.states;
        while (!IsSymbol("}")) {
            const EffectToken state = mToken;
            const std::string name = ExpectIdentifier("a render state or '}'");
            Expect("=");
            if (SameWord(name, "VertexShader")) {
                pass.vertexShader = ShaderReference(kVertexProfiles, pass.vertexShaderVersion);
                hasVertexShader = !pass.vertexShader.empty();
            } else if (SameWord(name, "PixelShader")) {
                pass.pixelShader = ShaderReference(kPixelProfiles, pass.pixelShaderVersion);
            } else if (SameWord(name, "ZEnable")) {
                states.zEnable = ExpectBool();
            } else if (SameWord(name, "ZWriteEnable")) {
                states.zWriteEnable = ExpectBool();
            } else if (SameWord(name, "ZFunc")) {
                states.zFunc = ExpectEnum(kCompareWords, "compare function");
            } else if (SameWord(name, "CullMode")) {
                states.cullMode = ExpectEnum(kCullWords, "cull mode");
            } else if (SameWord(name, "FillMode")) {
                states.fillMode = ExpectEnum(kFillWords, "fill mode");
            } else if (SameWord(name, "AlphaBlendEnable")) {
                states.alphaBlendEnable = ExpectBool();
            } else if (SameWord(name, "SrcBlend")) {
                states.srcBlend = ExpectEnum(kBlendWords, "blend factor");
            } else if (SameWord(name, "DestBlend")) {
                states.destBlend = ExpectEnum(kBlendWords, "blend factor");
            } else if (SameWord(name, "BlendOp")) {
                states.blendOp = ExpectEnum(kBlendOperationWords, "blend operation");
            } else if (SameWord(name, "AlphaTestEnable")) {
                states.alphaTestEnable = ExpectBool();
            } else if (SameWord(name, "AlphaRef")) {
                states.alphaRef = ExpectInteger(0, 255, "AlphaRef");
            } else if (SameWord(name, "AlphaFunc")) {
                states.alphaFunc = ExpectEnum(kCompareWords, "compare function");
            } else if (SameWord(name, "ColorWriteEnable")) {
                states.colorWriteEnable = ColorWriteMask();
            } else {
                Fail(state.line, "unknown render state '" + name + "'");
            }
            Expect(";");
        }
        Advance();
        if (!hasVertexShader)
            Fail(pass.line, "pass '" + pass.name + "' of technique '" + technique.name +
                                "' has no vertex shader");
        mPassChecks.push_back({pass.line, pass.vertexShader, pass.pixelShader});
        return pass;
    }

    std::uint32_t ColorWriteMask() {
        if (mToken.kind == Kind::Number)
            return ExpectInteger(0, 15, "ColorWriteEnable");
        std::uint32_t mask = ExpectEnum(kColorWriteWords, "colour channel");
        while (IsSymbol("|")) {
            Advance();
            mask |= ExpectEnum(kColorWriteWords, "colour channel");
        }
        return mask;
    }

    // "compile ps_2_0 name()" or NULL (no shader; version 0).
    template <std::size_t N>
    std::string ShaderReference(const Profile (&profiles)[N], std::uint32_t& version) {
        if (IsWord("NULL") || IsWord("null")) {
            Advance();
            version = 0;
            return {};
        }
        if (!IsWord("compile"))
            Fail(mToken.line, "expected 'compile' or NULL but found " + Describe(mToken));
        Advance();
        const int line = mToken.line;
        const std::string profile = ExpectIdentifier("a shader profile");
        const Profile* found = std::find_if(std::begin(profiles), std::end(profiles),
                                            [&](const Profile& p) { return profile == p.word; });
        if (found == std::end(profiles))
            Fail(line, "unknown shader profile '" + profile + "'");
        version = found->version;
        std::string name = ExpectIdentifier("a shader name");
        if (IsSymbol("(")) {
            Advance();
            Expect(")");
        }
        return name;
    }

    // References that may point forward are resolved once the whole file is read.
    void Check() {
        for (const EffectParameter& parameter : mResult.parameters) {
            if (parameter.sampler.texture.empty())
                continue;
            const int line = parameter.line;
            const EffectParameter* texture = mResult.FindParameter(parameter.sampler.texture);
            if (!texture || texture->type != ParameterType::Texture)
                Fail(line, "sampler '" + parameter.name + "' names '" + parameter.sampler.texture +
                               "', which is not a texture");
        }
        for (const PassCheck& check : mPassChecks) {
            CheckShader(check.line, check.vertexShader, ShaderStage::Vertex);
            if (!check.pixelShader.empty())
                CheckShader(check.line, check.pixelShader, ShaderStage::Pixel);
        }
    }

    void CheckShader(int line, const std::string& name, ShaderStage stage) const {
        const ShaderSource* shader = mResult.FindShader(name);
        const char* kind = stage == ShaderStage::Vertex ? "vertex" : "pixel";
        if (!shader || shader->stage != stage)
            Fail(line, "there is no " + std::string(kind) + " shader '" + name + "'");
    }

    struct PassCheck {
        int line;
        std::string vertexShader;
        std::string pixelShader;
    };

    EffectFileTokenizer mTokens;
    EffectToken mToken;
    EffectDescription mResult;
    std::set<std::string> mNames;
    std::vector<PassCheck> mPassChecks;
};

} // namespace

EffectDescription ParseEffectText(const std::string& file, const std::string& text) {
    return Parser(file, text).Parse();
}

EffectDescription ParseEffectFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        core::Logging::Get()->Error("Cannot open effect file " + path, ".\\effectFileParser.cpp",
                                    __LINE__);
    std::string text;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kEffectFileSizeLimit)
            core::Logging::Get()->Error("Effect file " + path + " is larger than " +
                                            std::to_string(kEffectFileSizeLimit) + " bytes",
                                        ".\\effectFileParser.cpp", __LINE__);
    }
    return ParseEffectText(path, text);
}

} // namespace engine::gfx
