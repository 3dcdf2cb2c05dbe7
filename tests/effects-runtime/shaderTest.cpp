#include "effects-runtime/runtimeFixture.h"
#include "engine/core/exception.h"
#include "engine/core/resourceTypes.h"
#include "engine/gfx/mesh.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/math/vector4f.h"
#include "engine/platform/recordingDevice.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

using namespace engine;
using kovra::test::RuntimeFixture;
using Call = platform::RecordingDevice::Call;

namespace {

const char* const kShaderFx = R"(float4x4 texAdj : TexAdj;
float4x4 world : World;
float4 light : Light0;
float4 viewPos : ViewPos;
float4x4 lightInverse : Light0Inverse;
float4 tint = {0.1, 0.2, 0.3, 0.4};
float scale = 2;
bool flag = false;
float3 colour = {0.5, 0.5, 0.5};
float anim;
float2 offset < string UIName = "Offset"; > = {5, 6};
float gloss < string UIName = "Gloss"; > = 7;
texture diffuse < string UIName = "Diffuse"; >;
sampler2D diffuseSampler = sampler_state { Texture = <diffuse>; };
float4x4 bones[2];
vertexshader vs {
    void main() {
        gl_Position = POSITION * world * texAdj * lightInverse * bones[1] + light + viewPos;
    }
}
pixelshader ps {
    void main() {
        COLOR0 = texture(diffuseSampler, vec2(0.5)) * tint * scale * gloss * anim
               + vec4(colour, flag ? 1.0 : 0.0) + vec4(offset, 0.0, 0.0);
    }
}
technique Main {
    pass One { VertexShader = compile vs_2_0 vs(); PixelShader = compile ps_2_0 ps(); CullMode = None; ZEnable = false; }
    pass Two { VertexShader = compile vs_2_0 vs(); PixelShader = compile ps_2_0 ps(); }
}
technique Quad < bool quad = true; string material = "glow"; > { pass { VertexShader = compile vs_2_0 vs(); } }
technique QuadWithoutMaterial < bool quad = true; > { pass { VertexShader = compile vs_2_0 vs(); } }
technique NoQuad < bool quad = false; string material = "glow"; > { pass { VertexShader = compile vs_2_0 vs(); } }
)";

const char* const kShaderEfx = R"(effect = { { priority = 1, pass = { {
    fx = "shader", tec = "Main",
    params = {
        { "float4", "tint", { 1, 2, 3, 4 } },
        { "float", "scale", 9 },
        { "bool", "flag", true },
        { "float3", "colour", { 0.25, 0.75, 1 } },
        { "ipo", "anim", "Anim" },
        { "float", "missing", 1 },
    },
    streams = { "pos", "tex" },
} } } })";

class ShaderTest : public ::testing::Test {
protected:
    ShaderTest() {
        RuntimeFixture::Write("data/fx/shader.fx", kShaderFx);
        RuntimeFixture::Write("data/shader.efx", kShaderEfx);
        RuntimeFixture::Write("data/fx/glow.efx",
                              R"(effect = { { pass = { { fx = "shader", tec = "NoQuad",
            params = {}, streams = { "pos" } } } } })");
        mEffect = gfx::EffectPool::Get()->GenerateEffect("data/shader.efx");
        mShader = mEffect->Shaders().at(0);
        mCompiled = mShader->GetFXEffect()->Handle();
        mVertices = mDevice.CreateVertexBuffer(64, platform::BufferUsage::Static);
        mIndices = mDevice.CreateIndexBuffer(12, platform::IndexFormat::Index16,
                                             platform::BufferUsage::Static);
        const platform::VertexElement element{};
        mDeclaration = mDevice.CreateVertexDeclaration({&element, 1});
        mObject = std::make_shared<gfx::RenderObject>();
        mObject->vertexBuffer = mVertices.get();
        mObject->indexBuffer = mIndices.get();
        mObject->vertexDeclaration = mDeclaration.get();
        mObject->vertexCount = 4;
        mObject->primitiveCount = 2;
        mObject->startIndex = 0;
        mObject->vertexSize = 16;
        mDevice.BeginScene();
        mDevice.ClearCalls();
    }
    ~ShaderTest() override { delete gfx::SceneInfo::mInstance; }

    void Draw() {
        ASSERT_EQ(mShader->BeginPass(0), 2);
        mShader->Render(mObject);
        mShader->EndPass();
    }

    // The program of the last pass begun, and what was last uploaded to a uniform.
    const platform::Program* LastProgram() const {
        const platform::Program* program = nullptr;
        for (const auto& call : mDevice.Calls())
            if (call.call == Call::SetProgram)
                program = static_cast<const platform::Program*>(call.object);
        return program;
    }
    std::vector<float> Uploaded(const std::string& name) const {
        const platform::Program* program = LastProgram();
        return program ? mDevice.UniformFloats(program, program->FindUniform(name)->location)
                       : std::vector<float>{};
    }

    gfx::ParameterHandle Parameter(const std::string& name) const {
        return mCompiled->GetParameterByName(name);
    }

    platform::RecordingDevice mDevice;
    RuntimeFixture mRuntime{&mDevice};
    std::shared_ptr<gfx::Effect> mEffect;
    std::shared_ptr<gfx::Shader> mShader;
    gfx::CompiledEffect* mCompiled = nullptr;
    std::unique_ptr<platform::VertexBuffer> mVertices;
    std::unique_ptr<platform::IndexBuffer> mIndices;
    std::unique_ptr<platform::VertexDeclaration> mDeclaration;
    std::shared_ptr<gfx::RenderObject> mObject;
};

TEST_F(ShaderTest, SemanticsAreBoundInTableOrder) {
    std::vector<gfx::SemanticSource> sources;
    for (const auto& binding : mShader->SemanticBindings())
        sources.push_back(binding.source);
    using S = gfx::SemanticSource;
    EXPECT_EQ(sources,
              (std::vector<S>{S::World, S::Light0Inverse, S::Light0, S::ViewPos, S::TexAdj}));
    EXPECT_EQ(mShader->SemanticBindings().back().handle, Parameter("texAdj"));
    EXPECT_EQ(mEffect->Streams(), (std::set<int>{gfx::kStreamPosition, gfx::kStreamTexCoord}));
}

TEST_F(ShaderTest, PerObjectValuesAreWrittenForEachDraw) {
    mObject->world.m[12] = 3.0f;
    Draw();
    EXPECT_EQ(mCompiled->GetMatrix(Parameter("world")).m[12], 3.0f);
    const std::vector<float> texAdj = Uploaded("texAdj");
    const std::vector<float> expected = {
        0.5f, 0, 0, 0, 0, -0.5f, 0, 0, 0, 0, 1, 0, 0.5009765625f, 0.5009765625f, 0, 1};
    EXPECT_EQ(texAdj, expected);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(texAdj.at(12)), 0x3F004000u);
    // No lights and no camera in the scene: neutral values, not garbage.
    EXPECT_EQ(Uploaded("light"), (std::vector<float>{0, 0, 0, 0}));
    EXPECT_EQ(Uploaded("viewPos"), (std::vector<float>{0, 0, 0, 1}));
    const auto identity =
        std::vector<float>(math::Matrix4x4::Identity.m, math::Matrix4x4::Identity.m + 16);
    EXPECT_EQ(Uploaded("lightInverse"), identity);

    gfx::FrustumRecord camera;
    camera.eye = math::Vector3f(1, 2, 3);
    gfx::SceneInfo::Get()->AddFrustum(camera);
    Draw();
    EXPECT_EQ(Uploaded("viewPos"), (std::vector<float>{1, 2, 3, 1}));
}

TEST_F(ShaderTest, ScriptValuesAreAppliedForTheDrawAndRestoredAfterIt) {
    Draw();
    EXPECT_EQ(Uploaded("tint"), (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(Uploaded("scale"), std::vector<float>{9});
    EXPECT_EQ(mDevice.UniformBits(LastProgram(), LastProgram()->FindUniform("flag")->location),
              std::vector<std::int32_t>{1});
    EXPECT_EQ(Uploaded("colour"), (std::vector<float>{0.25f, 0.75f, 1}));
    const math::Vector4f tint = mCompiled->GetVector(Parameter("tint"));
    EXPECT_EQ(std::vector<float>({tint.x, tint.y, tint.z, tint.w}),
              (std::vector<float>{0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(mCompiled->GetFloat(Parameter("scale")), 2.0f);
    EXPECT_FALSE(mCompiled->GetBool(Parameter("flag")));
    EXPECT_EQ(mCompiled->GetVector(Parameter("colour")).x, 0.5f);
}

TEST_F(ShaderTest, DisabledEntriesAreNeitherAppliedNorRestored) {
    *mShader->Description().floatParams.at(0).enabled = 0; // scale
    mCompiled->SetFloat(Parameter("scale"), 4.0f);
    Draw();
    EXPECT_EQ(Uploaded("scale"), std::vector<float>{4});
    EXPECT_EQ(mCompiled->GetFloat(Parameter("scale")), 4.0f);
}

TEST_F(ShaderTest, IpoCellsFeedTheirValueOnceBoundAndAreNotRestored) {
    Draw();
    EXPECT_EQ(Uploaded("anim"), std::vector<float>{0});
    const float channel = 0.75f;
    mShader->Description().ipoParams.at(0).value->address = &channel;
    Draw();
    EXPECT_EQ(Uploaded("anim"), std::vector<float>{0.75f});
    EXPECT_EQ(mCompiled->GetFloat(Parameter("anim")), 0.75f);
}

// The entry comes with its handle: the draw straight after adding it
// applies it, with no re-bind in between.
TEST_F(ShaderTest, RawDataIsAppliedFromItsAddressByTheNextDraw) {
    math::Matrix4x4 bones[2] = {math::Matrix4x4::Identity, math::Matrix4x4::Identity};
    bones[1].m[12] = 42.0f;
    mShader->AddRawData("bones", bones, sizeof(bones));
    Draw();
    // Raw bytes are columns: word 12 is row 0 of column 3.
    EXPECT_EQ(Uploaded("bones").at(16 + 3), 42.0f);
    bones[1].m[12] = 43.0f;
    Draw();
    EXPECT_EQ(Uploaded("bones").at(16 + 3), 43.0f);
    // A re-bind keeps the entry and finds its handle again.
    mShader->BindParameters();
    bones[1].m[12] = 44.0f;
    Draw();
    EXPECT_EQ(Uploaded("bones").at(16 + 3), 44.0f);
}

TEST_F(ShaderTest, RawDataForAMissingParameterWarnsAndIsNeverApplied) {
    const float data[4] = {1, 2, 3, 4};
    mRuntime.TakeLog();
    mShader->AddRawData("absent", data, sizeof(data));
    EXPECT_EQ(mRuntime.TakeLog(),
              std::vector<std::string>{
                  "WARNING|engine\\Shader|No such parameter absent in shader data/fx/shader.fx"});
    Draw();
    math::Matrix4x4 bones[2] = {math::Matrix4x4::Identity, math::Matrix4x4::Identity};
    bones[0].m[2] = 3.0f;
    mShader->AddRawData("bones", bones, sizeof(bones));
    Draw();
    // Raw matrix bytes are read column by column: the third float is row 2 of
    // column 0, which the upload holds row by row.
    EXPECT_EQ(Uploaded("bones").at(8), 3.0f);
}

TEST_F(ShaderTest, TweakablesGetDefaultsOnce) {
    auto names = [](const auto& list) {
        std::vector<std::string> out;
        for (const auto& entry : list)
            out.push_back(entry.name + (*entry.enabled ? "+" : "-"));
        return out;
    };
    mShader->BindParameters();
    const gfx::PassDescription& pass = mShader->Description();
    EXPECT_EQ(names(pass.floatParams), (std::vector<std::string>{"scale+", "missing+", "gloss-"}));
    EXPECT_EQ(pass.floatParams.at(2).value->value, 7.0f);
    EXPECT_EQ(names(pass.float2Params), std::vector<std::string>{"offset-"});
    EXPECT_EQ(pass.float2Params.at(0).value->value[1], 6.0f);
    ASSERT_EQ(names(pass.textureParams), std::vector<std::string>{"diffuse+"});
    EXPECT_NE(std::find(mRuntime.loaded.begin(), mRuntime.loaded.end(),
                        std::pair{gfx::ScriptResource::Texture, std::wstring(L"data/default.dds")}),
              mRuntime.loaded.end());

    Draw();
    const auto* fake =
        dynamic_cast<kovra::test::FakeTexture*>(pass.textureParams[0].value->resource.get());
    ASSERT_NE(fake, nullptr);
    bool bound = false;
    for (const auto& call : mDevice.Calls())
        bound |= call.call == Call::SetTexture && call.other == fake->Texture();
    EXPECT_TRUE(bound);
    EXPECT_EQ(Uploaded("gloss"), std::vector<float>{7});
}

TEST_F(ShaderTest, MissingParameterWarnsOncePerBind) {
    auto countWarnings = [&] {
        const auto log = mRuntime.TakeLog();
        return std::count(
            log.begin(), log.end(),
            "WARNING|engine\\Shader|No such parameter missing in shader data/fx/shader.fx");
    };
    EXPECT_EQ(countWarnings(), 1);
    mShader->BindParameters();
    Draw();
    EXPECT_EQ(countWarnings(), 1);
}

TEST_F(ShaderTest, SharedGeometryIsBoundOnce) {
    Draw();
    Draw();
    EXPECT_EQ(mDevice.Count(Call::SetStreamSource), 1u);
    EXPECT_EQ(mDevice.Count(Call::SetIndices), 1u);
    EXPECT_EQ(mDevice.Count(Call::SetVertexDeclaration), 1u);
    ASSERT_EQ(mDevice.Count(Call::DrawIndexedPrimitive), 2u);
    for (const auto& call : mDevice.Calls()) {
        if (call.call == Call::DrawIndexedPrimitive) {
            EXPECT_EQ(platform::RecordingDevice::Describe(call),
                      "DrawIndexedPrimitive(4, 0, 0, 4, 0, 2)");
        }
    }
}

TEST_F(ShaderTest, FailedDrawRaises) {
    mDevice.SetFailure(Call::DrawIndexedPrimitive);
    mShader->BeginPass(0);
    EXPECT_THROW(mShader->Render(mObject), core::Exception);
    const auto log = mRuntime.TakeLog();
    EXPECT_EQ(log.back(), "ERROR|engine\\Shader|Failed to render an object");
}

TEST_F(ShaderTest, PassesBeginAndEndTheTechnique) {
    EXPECT_EQ(mShader->BeginPass(0), 2);
    EXPECT_FALSE(mDevice.LastRenderStates().zEnable);
    EXPECT_EQ(mDevice.LastRenderStates().cullMode, platform::CullMode::None);
    mShader->EndPass();
    EXPECT_EQ(mShader->BeginPass(1), 2);
    EXPECT_TRUE(mDevice.LastRenderStates().zEnable);
    mDevice.ClearCalls();
    mShader->EndPass(); // the last pass ends the technique: defaults again
    EXPECT_EQ(mDevice.Count(Call::ApplyRenderStates), 1u);
    EXPECT_EQ(mDevice.LastRenderStates().cullMode, platform::CullMode::CounterClockwise);
    mDevice.ClearCalls();
    EXPECT_EQ(mShader->BeginPass(5), 2);
    EXPECT_EQ(mDevice.Count(Call::SetProgram), 0u);
}

TEST_F(ShaderTest, QuadAnnotations) {
    auto build = [](const std::string& technique) {
        gfx::PassDescription pass;
        pass.effectFile = "shader.fx";
        pass.technique = technique;
        return std::make_shared<gfx::Shader>(pass, "data/fx/shader.fx");
    };
    mRuntime.TakeLog();
    const auto quad = build("Quad");
    EXPECT_TRUE(quad->IsQuad());
    ASSERT_NE(quad->QuadMaterial(), nullptr);
    EXPECT_EQ(quad->QuadMaterial()->Shaders().at(0)->Description().technique, "NoQuad");
    ASSERT_NE(quad->QuadMesh(), nullptr);
    EXPECT_EQ(quad->QuadMesh()->Name(), L"data/quad.kvr");
    EXPECT_EQ(quad->QuadMesh()->VertexCount(), 4);
    auto log = mRuntime.TakeLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "MESSAGE|engine\\Shader|Loading quad material data/fx/glow.efx");

    std::filesystem::remove("data/quad.kvr");
    const auto plain = build("NoQuad");
    EXPECT_FALSE(plain->IsQuad());
    EXPECT_EQ(plain->QuadMesh(), nullptr);
    EXPECT_FALSE(std::filesystem::exists("data/quad.kvr"));
    EXPECT_TRUE(mRuntime.TakeLog().empty());

    EXPECT_FALSE(build("QuadWithoutMaterial")->IsQuad());
    EXPECT_EQ(mRuntime.TakeLog(),
              std::vector<std::string>{"WARNING|engine\\Shader|Quad in effect data/fx/shader.fx is "
                                       "true, but material not available"});
}

TEST_F(ShaderTest, MissingTechniqueRaises) {
    gfx::PassDescription pass;
    pass.technique = "Absent";
    mRuntime.TakeLog();
    EXPECT_THROW(gfx::Shader(pass, "data/fx/shader.fx"), core::Exception);
    EXPECT_EQ(mRuntime.TakeLog().back(),
              "ERROR|engine\\Shader|No such technique Absent in data/fx/shader.fx");
}

} // namespace

namespace {

TEST(ShaderTargetTest, PassTargetsComeFromTheResourceManager) {
    platform::RecordingDevice device;
    RuntimeFixture runtime(&device);
    gfx::SetScriptResourceLoader({});
    RuntimeFixture::Write("data/fx/shader.fx", kShaderFx);
    gfx::PassDescription pass;
    pass.technique = "NoQuad";
    pass.hasColorTarget = true;
    pass.colorTarget = "glow256";
    const gfx::Shader colour(pass, "data/fx/shader.fx");
    ASSERT_NE(colour.GetTarget(), nullptr);
    EXPECT_TRUE(colour.GetTarget()->IsColorTarget());
    EXPECT_EQ(colour.GetTarget()->GetSize(), 256);
    EXPECT_EQ(colour.GetTarget(),
              core::ResourceManager::Get()->Get<core::resources::RenderTargetTexture>(L"glow256"));

    pass.hasColorTarget = false;
    pass.hasDepthTarget = true;
    pass.depthTarget = "depth";
    const gfx::Shader depth(pass, "data/fx/shader.fx");
    ASSERT_NE(depth.GetTarget(), nullptr);
    EXPECT_FALSE(depth.GetTarget()->IsColorTarget());
    EXPECT_EQ(depth.GetTarget()->GetSize(), 512);

    pass.hasDepthTarget = false;
    EXPECT_EQ(gfx::Shader(pass, "data/fx/shader.fx").GetTarget(), nullptr);
}

} // namespace
