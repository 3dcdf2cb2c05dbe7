#include "engine/gfx/effectFileParser.h"
#include "engine/core/exception.h"
#include "engine/core/stringConversion.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

using namespace engine::gfx;
using namespace engine::platform;

namespace {

const std::string kExample = KOVRA_SOURCE_DIR "/tests/effects/data/example.fx";

class EffectFileParserTest : public ::testing::Test {
protected:
    // The text of the Exception that parsing raises.
    static std::string ErrorOf(const std::string& text) {
        try {
            ParseEffectText("test.fx", text);
        } catch (const engine::core::Exception& e) {
            return engine::core::Narrow(e.GetText());
        }
        return "<no error>";
    }

    static std::string WithTechnique(const std::string& text) {
        return text + "\nvertexshader vs { void main() { gl_Position = POSITION; } }\n"
                      "technique T { pass { VertexShader = compile vs_2_0 vs(); } }\n";
    }

    kovra::test::LogCapture mLog;
};

const EffectParameter& Parameter(const EffectDescription& effect, const std::string& name) {
    const EffectParameter* parameter = effect.FindParameter(name);
    if (!parameter)
        throw std::runtime_error("no parameter " + name);
    return *parameter;
}

TEST_F(EffectFileParserTest, ReadsParametersOfTheExample) {
    const EffectDescription effect = ParseEffectFile(kExample);
    EXPECT_EQ(effect.file, kExample);
    ASSERT_EQ(effect.parameters.size(), 17u);

    const EffectParameter& viewProjection = Parameter(effect, "ViewProjection");
    EXPECT_TRUE(viewProjection.shared);
    EXPECT_EQ(viewProjection.type, ParameterType::Float4x4);
    EXPECT_EQ(viewProjection.line, 2);
    EXPECT_FALSE(Parameter(effect, "worldViewProjection").shared);
    EXPECT_EQ(effect.FindParameterBySemantic("worldviewprojection")->name, "worldViewProjection");
    EXPECT_EQ(effect.FindParameterBySemantic("Light0")->name, "lightPosition");
    EXPECT_EQ(effect.FindParameterBySemantic("View"), nullptr);
    EXPECT_EQ(effect.FindParameterBySemantic(""), nullptr);

    const EffectParameter& bones = Parameter(effect, "boneMatrices");
    EXPECT_EQ(bones.arraySize, 40u);
    EXPECT_TRUE(bones.initialValue.empty());

    const EffectParameter& tint = Parameter(effect, "tint");
    EXPECT_EQ(tint.initialValue, (std::vector<float>{1.0f, 0.5f, 0.25f, 1.0f}));
    ASSERT_EQ(tint.annotations.size(), 1u);
    EXPECT_EQ(tint.annotations[0].name, "UIName");
    EXPECT_EQ(std::get<std::string>(tint.annotations[0].value), "Tint");
    EXPECT_EQ(Parameter(effect, "fogColor").initialValue, (std::vector<float>{0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(Parameter(effect, "offset").initialValue, (std::vector<float>{-1.0f, 0.5f}));

    const EffectParameter& glow = Parameter(effect, "glowStrength");
    EXPECT_EQ(glow.initialValue, (std::vector<float>{1.5f}));
    ASSERT_EQ(glow.annotations.size(), 3u);
    EXPECT_EQ(std::get<float>(FindAnnotation(glow.annotations, "UIMax")->value), 4.0f);
    EXPECT_EQ(Parameter(effect, "lightCount").type, ParameterType::Int);
    EXPECT_EQ(Parameter(effect, "lightCount").initialValue, (std::vector<float>{2.0f}));
    EXPECT_EQ(Parameter(effect, "useFog").initialValue, (std::vector<float>{1.0f}));

    const EffectParameter& texAdjust = Parameter(effect, "texAdjust");
    ASSERT_EQ(texAdjust.initialValue.size(), 16u);
    EXPECT_EQ(texAdjust.initialValue[5], -0.5f);
    EXPECT_EQ(texAdjust.initialValue[12], 0.5f);
    EXPECT_EQ(texAdjust.semantic, "TexAdj");

    EXPECT_EQ(Parameter(effect, "diffuseMap").type, ParameterType::Texture);
    EXPECT_EQ(Parameter(effect, "environmentMap").type, ParameterType::Texture);

    const EffectParameter& diffuse = Parameter(effect, "diffuseSampler");
    EXPECT_EQ(diffuse.type, ParameterType::Sampler2D);
    EXPECT_EQ(diffuse.sampler.texture, "diffuseMap");
    SamplerState expected;
    expected.minFilter = expected.magFilter = expected.mipFilter = TextureFilter::Linear;
    expected.addressV = TextureAddress::Clamp;
    EXPECT_EQ(diffuse.sampler.states, expected);

    const EffectParameter& environment = Parameter(effect, "environmentSampler");
    EXPECT_EQ(environment.type, ParameterType::SamplerCube);
    EXPECT_EQ(environment.sampler.texture, "environmentMap");
    EXPECT_EQ(environment.sampler.states.minFilter, TextureFilter::Anisotropic);
    EXPECT_EQ(environment.sampler.states.magFilter, TextureFilter::Point);
    EXPECT_EQ(environment.sampler.states.maxAnisotropy, 8u);
    EXPECT_EQ(environment.sampler.states.addressW, TextureAddress::Mirror);
}

TEST_F(EffectFileParserTest, ReadsTechniquesPassesAndStatesOfTheExample) {
    const EffectDescription effect = ParseEffectFile(kExample);
    ASSERT_EQ(effect.techniques.size(), 3u);
    ASSERT_EQ(effect.shaders.size(), 3u);
    ASSERT_EQ(effect.commonCode.size(), 1u);
    EXPECT_EQ(effect.FindShader("litPS")->stage, ShaderStage::Pixel);
    EXPECT_EQ(effect.FindShader("skinnedVS")->stage, ShaderStage::Vertex);
    EXPECT_EQ(effect.FindShader("skinnedVS")->firstLine, 42);

    const EffectTechnique& lit = *effect.FindTechnique("Lit");
    EXPECT_EQ(std::get<std::string>(FindAnnotation(lit.annotations, "UIName")->value),
              "Lit surface");
    ASSERT_EQ(lit.passes.size(), 2u);
    const EffectPass& base = lit.passes[0];
    EXPECT_EQ(base.name, "Base");
    EXPECT_EQ(base.vertexShader, "skinnedVS");
    EXPECT_EQ(base.pixelShader, "litPS");
    EXPECT_EQ(base.vertexShaderVersion, 0xFFFE0200u);
    EXPECT_EQ(base.pixelShaderVersion, 0xFFFF0200u);
    RenderStates states;
    states.cullMode = CullMode::None;
    states.alphaTestEnable = true;
    states.alphaRef = 128;
    states.alphaFunc = CompareFunc::Greater;
    EXPECT_EQ(base.states, states);

    const EffectPass& glow = lit.passes[1];
    EXPECT_EQ(glow.pixelShaderVersion, 0xFFFF0300u);
    RenderStates glowStates;
    glowStates.zWriteEnable = false;
    glowStates.alphaBlendEnable = true;
    glowStates.srcBlend = Blend::SrcAlpha;
    glowStates.destBlend = Blend::One;
    glowStates.colorWriteEnable = ColorWriteRed | ColorWriteGreen | ColorWriteBlue;
    EXPECT_EQ(glow.states, glowStates);

    const EffectTechnique& blur = *effect.FindTechnique("Blur");
    EXPECT_TRUE(std::get<bool>(FindAnnotation(blur.annotations, "quad")->value));
    EXPECT_EQ(std::get<std::string>(FindAnnotation(blur.annotations, "material")->value), "blur");
    ASSERT_EQ(blur.passes.size(), 1u);
    EXPECT_EQ(blur.passes[0].name, "P0");
    EXPECT_EQ(blur.passes[0].pixelShaderVersion, 0xFFFF0104u);
    EXPECT_FALSE(blur.passes[0].states.zEnable);
    EXPECT_EQ(blur.passes[0].states.fillMode, FillMode::Wireframe);

    const EffectPass& plain = effect.FindTechnique("Plain")->passes.at(0);
    EXPECT_EQ(plain.pixelShader, "");
    EXPECT_EQ(plain.pixelShaderVersion, 0u);
    EXPECT_EQ(plain.vertexShaderVersion, 0xFFFE0101u);
    EXPECT_EQ(effect.FindTechnique("Missing"), nullptr);
}

TEST_F(EffectFileParserTest, PixelShaderProfilesGiveTheirVersionTokens) {
    const std::pair<const char*, std::uint32_t> profiles[] = {
        {"ps_1_1", 0xFFFF0101}, {"ps_1_2", 0xFFFF0102}, {"ps_1_3", 0xFFFF0103},
        {"ps_1_4", 0xFFFF0104}, {"ps_2_0", 0xFFFF0200}, {"ps_2_a", 0xFFFF0201},
        {"ps_2_b", 0xFFFF0201}, {"ps_3_0", 0xFFFF0300},
    };
    for (const auto& [profile, version] : profiles) {
        const EffectDescription effect = ParseEffectText(
            "test.fx", std::string("vertexshader v { } pixelshader p { }\n"
                                   "technique T { pass { VertexShader = compile vs_3_0 v();\n"
                                   "PixelShader = compile ") +
                           profile + " p; } }");
        EXPECT_EQ(effect.techniques[0].passes[0].pixelShaderVersion, version) << profile;
    }
}

TEST_F(EffectFileParserTest, StateWordsAreCaseInsensitiveAndNumbersMayStandForFlags) {
    const EffectDescription effect = ParseEffectText("test.fx", R"(
        vertexshader v { }
        technique T { pass p { vertexshader = compile vs_2_0 v; zenable = FALSE; ZWRITEENABLE = 0;
                               cullmode = cw; ColorWriteEnable = 5; zfunc = always; } })");
    const RenderStates& states = effect.techniques[0].passes[0].states;
    EXPECT_FALSE(states.zEnable);
    EXPECT_FALSE(states.zWriteEnable);
    EXPECT_EQ(states.cullMode, CullMode::Clockwise);
    EXPECT_EQ(states.colorWriteEnable, 5u);
    EXPECT_EQ(states.zFunc, CompareFunc::Always);
}

TEST_F(EffectFileParserTest, ErrorsNameFileLineAndCause) {
    EXPECT_EQ(ErrorOf("float x = 1;"), "test.fx(1): the effect declares no technique");
    EXPECT_EQ(ErrorOf(WithTechnique("float x = 1;\nfloat5 y;")),
              "test.fx(2): unknown type 'float5'");
    EXPECT_EQ(ErrorOf(WithTechnique("\n\nfloat x = 1")),
              "test.fx(4): expected ';' but found 'vertexshader'");
    EXPECT_EQ(ErrorOf(WithTechnique("float x;\nfloat x;")), "test.fx(2): 'x' is declared twice");
    EXPECT_EQ(ErrorOf(WithTechnique("float3 x = {1, 2};")),
              "test.fx(1): 'x' needs 3 initial values, not 2");
    EXPECT_EQ(ErrorOf(WithTechnique("float2 x = {1, 2, 3};")),
              "test.fx(1): too many values for 'x'");
    EXPECT_EQ(ErrorOf(WithTechnique("float3 x = float4(1, 2, 3, 4);")),
              "test.fx(1): initial value of 'x' has the wrong type");
    EXPECT_EQ(ErrorOf(WithTechnique("int x = 1.5;")),
              "test.fx(1): initial value of int 'x' is not a whole number");
    EXPECT_EQ(ErrorOf(WithTechnique("float x = 1e999;")), "test.fx(1): malformed number '1e999'");
    EXPECT_EQ(ErrorOf(WithTechnique("float x = 1.2.3;")), "test.fx(1): malformed number '1.2.3'");
    EXPECT_EQ(ErrorOf(WithTechnique("float x = -1e300;")),
              "test.fx(1): number '1e300' is out of range");
    EXPECT_EQ(ErrorOf(WithTechnique("int x = 3e9;")),
              "test.fx(1): initial value of int 'x' is not a whole number");
    EXPECT_EQ(ErrorOf(WithTechnique("float x < int n = 1e20; >;")),
              "test.fx(1): int annotation 'n' is not a whole number");
    EXPECT_EQ(ErrorOf(WithTechnique("float4x4 m[100000000];")),
              "test.fx(1): an array size must be a whole number from 1 to 4096");
    EXPECT_EQ(ErrorOf(WithTechnique("float4x4 m[0];")),
              "test.fx(1): an array size must be a whole number from 1 to 4096");
    EXPECT_EQ(ErrorOf(WithTechnique("texture t = 1;")),
              "test.fx(1): texture 't' cannot have an initial value");
    EXPECT_EQ(ErrorOf(WithTechnique("float x < strin g = \"a\"; >;")),
              "test.fx(1): unknown annotation type 'strin'");
    EXPECT_EQ(ErrorOf(WithTechnique("float x < string s = 1; >;")),
              "test.fx(1): expected a string but found '1'");
    EXPECT_EQ(ErrorOf(WithTechnique("float x < string s = \"open; >;")),
              "test.fx(1): string is not closed");
    EXPECT_EQ(ErrorOf(WithTechnique("float x; /* never closed")),
              "test.fx(1): comment is not closed");
    EXPECT_EQ(ErrorOf(WithTechnique("float x @ 2;")), "test.fx(1): unexpected character 0x40");
    EXPECT_EQ(ErrorOf(WithTechnique("sampler2D s = sampler_state { Texture = <nothing>; };")),
              "test.fx(1): sampler 's' names 'nothing', which is not a texture");
    EXPECT_EQ(ErrorOf(WithTechnique("float f;\nsampler2D s = sampler_state { Texture = f; };")),
              "test.fx(2): sampler 's' names 'f', which is not a texture");
    EXPECT_EQ(
        ErrorOf(WithTechnique("texture t; sampler2D s = sampler_state { Filter = Linear; };")),
        "test.fx(1): unknown sampler state 'Filter'");
    EXPECT_EQ(
        ErrorOf(WithTechnique("texture t; sampler2D s = sampler_state { MinFilter = Cubic; };")),
        "test.fx(1): unknown filter 'Cubic'");
    EXPECT_EQ(ErrorOf(WithTechnique("sampler2D s = 1;")),
              "test.fx(1): expected sampler_state but found '1'");
    EXPECT_EQ(ErrorOf("vertexshader v { }\npixelshader v { }"),
              "test.fx(2): 'v' is declared twice");
    EXPECT_EQ(ErrorOf("vertexshader v {\n void main() {\n"),
              "test.fx(1): shader code block is not closed");
}

TEST_F(EffectFileParserTest, PassErrorsNameTheirLine) {
    const std::string shaders = "vertexshader v { }\npixelshader p { }\n";
    EXPECT_EQ(
        ErrorOf(shaders + "technique T {\n pass { VertexShader = compile vs_2_0 v; Fog = 1; } }"),
        "test.fx(4): unknown render state 'Fog'");
    EXPECT_EQ(
        ErrorOf(shaders +
                "technique T { pass { VertexShader = compile vs_2_0 v;\n CullMode = Back; } }"),
        "test.fx(4): unknown cull mode 'Back'");
    EXPECT_EQ(
        ErrorOf(shaders +
                "technique T { pass { VertexShader = compile vs_2_0 v;\n SrcBlend = Alpha; } }"),
        "test.fx(4): unknown blend factor 'Alpha'");
    EXPECT_EQ(
        ErrorOf(shaders +
                "technique T { pass { VertexShader = compile vs_2_0 v;\n AlphaRef = 256; } }"),
        "test.fx(4): AlphaRef must be a whole number from 0 to 255");
    EXPECT_EQ(ErrorOf(shaders +
                      "technique T { pass { VertexShader = compile vs_2_0 v;\n ZEnable = 2; } }"),
              "test.fx(4): expected true or false");
    EXPECT_EQ(ErrorOf(shaders + "technique T { pass { VertexShader = compile vs_2_0 v;\n "
                                "PixelShader = compile ps_4_0 p; } }"),
              "test.fx(4): unknown shader profile 'ps_4_0'");
    EXPECT_EQ(ErrorOf(shaders + "technique T { pass { VertexShader = v; } }"),
              "test.fx(3): expected 'compile' or NULL but found 'v'");
    EXPECT_EQ(ErrorOf(shaders + "technique T {\n pass { PixelShader = compile ps_2_0 p; } }"),
              "test.fx(4): pass 'P0' of technique 'T' has no vertex shader");
    EXPECT_EQ(ErrorOf(shaders + "technique T {\n pass { VertexShader = compile vs_2_0 p; } }"),
              "test.fx(4): there is no vertex shader 'p'");
    EXPECT_EQ(ErrorOf(shaders + "technique T {\n pass { VertexShader = compile vs_2_0 v; "
                                "PixelShader = compile ps_2_0 later; } }\npixelshader later { }"),
              "<no error>");
    EXPECT_EQ(ErrorOf(shaders + "technique T {\n pass a { VertexShader = compile vs_2_0 v; }\n "
                                "pass a { VertexShader = compile vs_2_0 v; } }"),
              "test.fx(5): pass 'a' is declared twice in technique 'T'");
    EXPECT_EQ(ErrorOf(shaders + "technique T {\n pass { VertexShader = compile vs_2_0 v; }"),
              "test.fx(4): expected 'pass' or '}' but found the end of the file");
}

TEST_F(EffectFileParserTest, ErrorsAreLoggedAsErrorRows) {
    EXPECT_EQ(ErrorOf("float5 y;"), "test.fx(1): unknown type 'float5'");
    try {
        ParseEffectFile("data/missing.fx");
        FAIL() << "no error";
    } catch (const engine::core::Exception& e) {
        EXPECT_EQ(engine::core::Narrow(e.GetText()), "Cannot open effect file data/missing.fx");
    }
    const std::string rows = mLog.Rows();
    EXPECT_NE(rows.find("</td><td>.\\effectFileParser.cpp</td><td>test.fx(1): unknown type "
                        "'float5'</td></tr>"),
              std::string::npos)
        << rows;
    EXPECT_NE(rows.find("<tr class=\"error\"><td>ERROR</td>"), std::string::npos);
    EXPECT_NE(rows.find("Cannot open effect file data/missing.fx</td></tr>"), std::string::npos);
}

} // namespace
