#include "engine/gfx/effectFileGlsl.h"
#include "engine/gfx/effectFileParser.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace engine::gfx;

namespace {

const std::string kExample = KOVRA_SOURCE_DIR "/tests/effects/data/example.fx";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// GLSL line number (from 1) of the first line containing the text.
int GlslLineOf(const GlslSource& source, const std::string& text) {
    const auto lines = Lines(source.text);
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find(text) != std::string::npos)
            return static_cast<int>(i + 1);
    return 0;
}

class EffectFileGlslTest : public ::testing::Test {
protected:
    kovra::test::LogCapture mLog;
    EffectDescription mEffect = ParseEffectFile(kExample);
};

TEST_F(EffectFileGlslTest, VertexPreludeDeclaresUsedParametersAndInputs) {
    const GlslProgram program = GenerateGlsl(mEffect, mEffect.FindTechnique("Lit")->passes[0]);
    const std::vector<std::string> expected = {
        "#version 330 core",
        "// vertex shader of technique Lit pass Base from " + kExample,
        "uniform mat4 worldViewProjection;",
        "uniform mat4 world;",
        "uniform float time;",
        "uniform mat4 boneMatrices[40];",
        "uniform vec3 fogColor;",
        "uniform vec2 offset;",
        "uniform bool useFog;",
        "layout(location = 0) in vec4 POSITION;",
        "layout(location = 1) in vec4 NORMAL;",
        "layout(location = 4) in vec4 TEXCOORD0;",
        "layout(location = 5) in vec4 TEXCOORD1;",
        "layout(location = 6) in vec4 TEXCOORD2;",
        "", // the rest of the "glsl {" line
        "    vec3 Fog(vec3 colour, float depth) {",
    };
    const auto lines = Lines(program.vertex.text);
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + expected.size()), expected);
    EXPECT_EQ(lines.size(), program.vertex.fxLines.size());
}

TEST_F(EffectFileGlslTest, FragmentPreludeDeclaresSamplersAndOutput) {
    const GlslProgram program = GenerateGlsl(mEffect, mEffect.FindTechnique("Lit")->passes[0]);
    const std::vector<std::string> expected = {
        "#version 330 core",
        "// pixel shader of technique Lit pass Base from " + kExample,
        "uniform vec4 lightPosition;",
        "uniform vec4 tint;",
        "uniform vec3 fogColor;",
        "uniform int lightCount;",
        "uniform bool useFog;",
        "uniform sampler2D diffuseSampler;",
        "layout(location = 0) out vec4 COLOR0;",
    };
    const auto lines = Lines(program.fragment.text);
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + expected.size()), expected);

    // Declaration order, both stages together; textures are no uniforms.
    const std::vector<std::string> uniforms = {
        "worldViewProjection", "world",  "time",          "lightPosition",
        "boneMatrices",        "tint",   "fogColor",      "offset",
        "lightCount",          "useFog", "diffuseSampler"};
    EXPECT_EQ(program.uniforms, uniforms);
    EXPECT_EQ(program.samplers, std::vector<std::string>{"diffuseSampler"});
}

TEST_F(EffectFileGlslTest, LinesMapBackToTheEffectFile) {
    const GlslProgram program = GenerateGlsl(mEffect, mEffect.FindTechnique("Lit")->passes[0]);
    const int vertexLine =
        GlslLineOf(program.vertex, "gl_Position = position * worldViewProjection");
    ASSERT_GT(vertexLine, 0);
    EXPECT_EQ(program.vertex.FxLine(vertexLine), 50);
    EXPECT_EQ(program.vertex.FxLine(GlslLineOf(program.vertex, "vec3 Fog(")), 37);
    const int fragmentLine = GlslLineOf(program.fragment, "COLOR0 = vec4(Fog(");
    EXPECT_EQ(program.fragment.FxLine(fragmentLine), 65);
    EXPECT_EQ(program.fragment.FxLine(1), 0);
    EXPECT_EQ(program.fragment.FxLine(0), 0);
    EXPECT_EQ(program.fragment.FxLine(100000), 0);
}

TEST_F(EffectFileGlslTest, CommentsDoNotCountAsUsesAndAMissingPixelShaderWritesWhite) {
    const EffectDescription effect = ParseEffectText("test.fx", R"(
        float used; float commented; float4x4 m;
        vertexshader v {
            // commented
            /* m */
            void main() { gl_Position = POSITION * used; }
        }
        technique T { pass { VertexShader = compile vs_2_0 v(); PixelShader = NULL; } })");
    const GlslProgram program = GenerateGlsl(effect, effect.techniques[0].passes[0]);
    EXPECT_EQ(program.uniforms, std::vector<std::string>{"used"});
    const auto fragment = Lines(program.fragment.text);
    ASSERT_EQ(fragment.size(), 4u);
    EXPECT_EQ(fragment[2], "layout(location = 0) out vec4 COLOR0;");
    EXPECT_EQ(fragment[3], "void main() { COLOR0 = vec4(1.0); }");
}

} // namespace
