#include "effects-runtime/runtimeFixture.h"
#include "engine/gfx/effectFileParser.h"
#include "engine/math/vector4f.h"
#include "engine/platform/recordingDevice.h"

#include <gtest/gtest.h>

using namespace engine;
using Call = platform::RecordingDevice::Call;

namespace {

const char* const kStoreFx = R"(shared float4 sunColour = {1, 0.9, 0.8, 1};
int count = 3;
bool on = true;
float values[3] = {1, 2, 3};
float4x4 matrix;
texture image;
sampler2D imageSampler = sampler_state { Texture = <image>; MinFilter = Anisotropic; AddressU = Border; AddressV = MirrorOnce; };
vertexshader vs { void main() { gl_Position = POSITION * matrix * float(count) * values[2]; } }
pixelshader ps { void main() { COLOR0 = texture(imageSampler, vec2(0.0)) * sunColour * (on ? 1.0 : 0.5); } }
technique T {
    pass { VertexShader = compile vs_2_0 vs(); PixelShader = compile ps_3_0 ps();
           FillMode = Wireframe; SrcBlend = SrcAlpha; DestBlend = InvSrcAlpha; AlphaBlendEnable = true; }
}
)";

class CompiledEffectTest : public ::testing::Test {
protected:
    std::unique_ptr<gfx::CompiledEffect> Compile(const std::string& file, const std::string& text) {
        std::string errors;
        auto effect =
            gfx::CompiledEffect::Create(mDevice, gfx::ParseEffectText(file, text), errors);
        EXPECT_NE(effect, nullptr) << errors;
        return effect;
    }

    platform::RecordingDevice mDevice;
    kovra::test::RuntimeFixture mRuntime{&mDevice};
};

TEST_F(CompiledEffectTest, TypedValuesKeepTheirKind) {
    auto effect = Compile("store.fx", kStoreFx);
    const auto count = effect->GetParameterByName("count");
    EXPECT_EQ(effect->GetInt(count), 3);
    effect->SetFloat(count, 2.9f); // ints hold whole numbers
    EXPECT_EQ(effect->GetInt(count), 2);
    std::int32_t raw = 0;
    effect->GetValue(count, &raw, 4);
    EXPECT_EQ(raw, 2);

    const auto on = effect->GetParameterByName("on");
    const bool off = false;
    effect->SetRawValue(on, &off, 0, 1);
    EXPECT_FALSE(effect->GetBool(on));

    const auto values = effect->GetParameterByName("values");
    const float more[5] = {7, 8, 9, 10, 11}; // two beyond the array are dropped
    effect->SetFloatArray(values, more, 5);
    float back[4] = {-1, -1, -1, -1};
    effect->GetValue(values, back, sizeof(back));
    EXPECT_EQ(std::vector<float>(back, back + 4), (std::vector<float>{7, 8, 9, 0}));
    effect->SetRawValue(values, more, 8, 16); // clamped at the end of the storage
    effect->GetValue(values, back, 12);
    EXPECT_EQ(std::vector<float>(back, back + 3), (std::vector<float>{7, 8, 7}));

    // Raw bytes hold a matrix column by column: a translation given as the
    // fourth column lands in the last row.
    const auto matrix = effect->GetParameterByName("matrix");
    const float columns[16] = {1, 0, 0, 5, 0, 1, 0, 6, 0, 0, 1, 7, 0, 0, 0, 1};
    effect->SetRawValue(matrix, columns, 0, sizeof(columns));
    EXPECT_EQ(effect->GetMatrix(matrix).m[12], 5.0f);
    EXPECT_EQ(effect->GetMatrix(matrix).m[14], 7.0f);
    float raw16[16] = {};
    effect->GetValue(matrix, raw16, sizeof(raw16));
    EXPECT_EQ(std::vector<float>(raw16, raw16 + 16), std::vector<float>(columns, columns + 16));

    // Empty handles are ignored and read as zero.
    effect->SetFloat(gfx::ParameterHandle{}, 1.0f);
    EXPECT_EQ(effect->GetFloat(effect->GetParameterByName("absent")), 0.0f);
}

TEST_F(CompiledEffectTest, SharedParametersAreCommonToEveryEffect) {
    auto first = Compile("first.fx", kStoreFx);
    auto second = Compile("second.fx", kStoreFx);
    first->SetVector(first->GetParameterByName("sunColour"), math::Vector4f(0.5f, 0.25f, 0, 1));
    EXPECT_EQ(second->GetVector(second->GetParameterByName("sunColour")).y, 0.25f);
    EXPECT_EQ(first->GetInt(first->GetParameterByName("count")), 3);

    std::string errors;
    auto clash = gfx::CompiledEffect::Create(
        mDevice, gfx::ParseEffectText("clash.fx", R"(shared float sunColour;
vertexshader vs { void main() { gl_Position = POSITION * sunColour; } }
technique T { pass { VertexShader = compile vs_2_0 vs(); } }
)"),
        errors);
    EXPECT_EQ(clash, nullptr);
    EXPECT_EQ(
        errors,
        "clash.fx(1): shared parameter sunColour is declared differently in another effect\n");
}

TEST_F(CompiledEffectTest, PassPutsProgramStatesUniformsAndSamplersOnTheDevice) {
    auto effect = Compile("store.fx", kStoreFx);
    auto image =
        mDevice.CreateTexture(2, 2, 1, platform::Format::A8R8G8B8, platform::TextureUsage::Static);
    platform::Texture* texture = image.get();
    effect->SetTexture(effect->GetParameterByName("image"), texture);
    mDevice.ClearCalls();
    ASSERT_EQ(effect->Begin(), 1);
    ASSERT_TRUE(effect->BeginPass(0));
    EXPECT_EQ(mDevice.LastRenderStates().fillMode, platform::FillMode::Wireframe);
    EXPECT_TRUE(mDevice.LastRenderStates().alphaBlendEnable);
    EXPECT_EQ(mDevice.LastRenderStates().srcBlend, platform::Blend::SrcAlpha);
    EXPECT_EQ(mDevice.LastRenderStates().destBlend, platform::Blend::InvSrcAlpha);
    bool textured = false;
    for (const auto& call : mDevice.Calls())
        textured |= call.call == Call::SetTexture && call.other == texture && call.args[0] == 0;
    EXPECT_TRUE(textured);
    EXPECT_EQ(mDevice.Count(Call::SetSamplerState), 1u);
    // Anisotropic filtering, border and mirror-once addressing reach the device as written.
    EXPECT_EQ(platform::RecordingDevice::Describe(mDevice.Calls().back()),
              "SetSamplerState(0, 3, 1, 0, 4, 5)");

    // Only what changed since the program last got it is sent again.
    const auto count = effect->GetParameterByName("count");
    const platform::Program* program = nullptr;
    for (const auto& call : mDevice.Calls())
        if (call.call == Call::SetProgram)
            program = static_cast<const platform::Program*>(call.object);
    ASSERT_NE(program, nullptr);
    const int countLocation = program->FindUniform("count")->location;
    for (const int value : {5, 5, 3}) {
        mDevice.ClearCalls();
        const bool changed = effect->GetInt(count) != value;
        effect->SetInt(count, value);
        effect->CommitChanges();
        ASSERT_EQ(mDevice.Count(Call::SetUniform), changed ? 1u : 0u) << value;
        EXPECT_EQ(mDevice.UniformBits(program, countLocation), std::vector<std::int32_t>{value});
    }
    effect->EndPass();
    effect->End();
    EXPECT_EQ(mDevice.LastRenderStates().fillMode, platform::FillMode::Solid);

    effect->OnLostDevice();
    EXPECT_EQ(effect->GetTexture(effect->GetParameterByName("image")), nullptr);
}

TEST_F(CompiledEffectTest, ValidationComparesPassVersionsWithTheDevice) {
    auto effect = Compile("store.fx", kStoreFx);
    const auto technique = effect->GetTechniqueByName("T");
    EXPECT_EQ(effect->GetPixelShaderVersion(technique, 0), 0xFFFF0300u);
    EXPECT_TRUE(effect->ValidateTechnique(technique));
    mDevice.Caps().pixelShaderVersion = 0xFFFF0200;
    EXPECT_FALSE(effect->ValidateTechnique(technique));
    EXPECT_FALSE(effect->ValidateTechnique(gfx::TechniqueHandle{}));
}

} // namespace
