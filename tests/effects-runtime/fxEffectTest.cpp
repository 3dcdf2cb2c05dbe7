#include "effects-runtime/runtimeFixture.h"
#include "engine/core/exception.h"
#include "engine/platform/recordingDevice.h"

#include <gtest/gtest.h>

using namespace engine;
using kovra::test::RuntimeFixture;
using Call = platform::RecordingDevice::Call;

namespace {

std::string Fx(const std::string& leading = "") {
    return leading + R"(float4x4 texAdj : TexAdj;
vertexshader vs { void main() { gl_Position = POSITION * texAdj; } }
technique Main { pass { VertexShader = compile vs_2_0 vs(); } }
)";
}

class FXEffectTest : public ::testing::Test {
protected:
    FXEffectTest() {
        RuntimeFixture::Write("data/fx/a.fx", Fx());
        RuntimeFixture::Write("data/fx/b.fx", Fx());
        mDevice.BeginScene();
    }

    std::shared_ptr<core::resources::FXEffect> Load(const std::wstring& name) {
        return core::ResourceManager::Get()->Get<core::resources::FXEffect>(name);
    }

    platform::RecordingDevice mDevice;
    RuntimeFixture mRuntime{&mDevice};
};

TEST_F(FXEffectTest, CreateLogsAndCompiles) {
    const auto effect = Load(L"data/fx/a.fx");
    ASSERT_NE(effect->Handle(), nullptr);
    EXPECT_TRUE(effect->Handle()->GetTechniqueByName("Main"));
    EXPECT_EQ(
        mRuntime.TakeLog(),
        std::vector<std::string>{"MESSAGE|.\\resourceTypes.cpp|Creating .fx effect data/fx/a.fx"});
}

TEST_F(FXEffectTest, MissingFileFailsAndLeavesNoEntry) {
    EXPECT_THROW(Load(L"data/fx/none.fx"), core::Exception);
    EXPECT_EQ(mRuntime.TakeLog(),
              (std::vector<std::string>{
                  "MESSAGE|.\\resourceTypes.cpp|Creating .fx effect data/fx/none.fx",
                  "ERROR|.\\effectFileParser.cpp|Cannot open effect file data/fx/none.fx",
                  "ERROR|.\\resourceTypes.cpp|Failed to create effect data/fx/none.fx",
              }));
    RuntimeFixture::Write("data/fx/none.fx", Fx());
    EXPECT_NE(Load(L"data/fx/none.fx")->Handle(), nullptr);
}

TEST_F(FXEffectTest, CompilerMessageIsLoggedBeforeTheFailure) {
    mDevice.SetFailure(Call::CreateProgram);
    EXPECT_THROW(Load(L"data/fx/a.fx"), core::Exception);
    const auto log = mRuntime.TakeLog();
    ASSERT_EQ(log.size(), 3u) << ::testing::PrintToString(log);
    EXPECT_EQ(
        log[1],
        "WARNING|.\\resourceTypes.cpp|data/fx/a.fx(0): error: program creation failed on request");
    EXPECT_EQ(log[2], "ERROR|.\\resourceTypes.cpp|Failed to create effect data/fx/a.fx");
}

TEST_F(FXEffectTest, TouchingOneFileRecompilesOnlyThatEffect) {
    const auto a = Load(L"data/fx/a.fx");
    const auto b = Load(L"data/fx/b.fx");
    const gfx::CompiledEffect* before = b->Handle();
    mRuntime.TakeLog();
    core::ResourceManager::Get()->UpdateAll();
    EXPECT_TRUE(mRuntime.TakeLog().empty());

    RuntimeFixture::Touch("data/fx/a.fx", Fx());
    core::ResourceManager::Get()->UpdateAll();
    EXPECT_EQ(mRuntime.TakeLog(),
              (std::vector<std::string>{
                  "MESSAGE|.\\resourceTypes.cpp|Updating data/fx/a.fx",
                  "MESSAGE|.\\resourceTypes.cpp|Creating .fx effect data/fx/a.fx",
              }));
    EXPECT_EQ(b->Handle(), before);
    EXPECT_NE(a->Handle(), nullptr);
}

TEST_F(FXEffectTest, VanishedFileCannotBeChecked) {
    const auto a = Load(L"data/fx/a.fx");
    std::filesystem::remove("data/fx/a.fx");
    mRuntime.TakeLog();
    EXPECT_THROW(a->Update(), core::Exception);
    EXPECT_EQ(mRuntime.TakeLog(),
              std::vector<std::string>{"ERROR|.\\resourceTypes.cpp|Could not get file attributes"});
    EXPECT_NE(a->Handle(), nullptr);
}

TEST_F(FXEffectTest, BrokenReloadDrawsNothingUntilTheNextGoodSave) {
    RuntimeFixture::Write("data/r.efx", R"(effect = { { pass = { { fx = "a", tec = "Main",
        params = { { "float", "scale", 3 } }, streams = { "pos" } } } } })");
    RuntimeFixture::Touch("data/fx/a.fx", Fx("float scale;\n"));
    const auto effect = gfx::EffectPool::Get()->GenerateEffect("data/r.efx");
    const auto& shader = effect->Shaders().at(0);
    auto vertices = mDevice.CreateVertexBuffer(48, platform::BufferUsage::Static);
    auto indices =
        mDevice.CreateIndexBuffer(6, platform::IndexFormat::Index16, platform::BufferUsage::Static);
    gfx::RenderObject object;
    object.vertexBuffer = vertices.get();
    object.indexBuffer = indices.get();
    object.vertexCount = 3;
    object.primitiveCount = 1;
    auto draw = [&] {
        const int passes = shader->BeginPass(0);
        for (int pass = 0; pass < passes; ++pass) {
            if (pass)
                shader->BeginPass(pass);
            shader->Render(object);
            shader->EndPass();
        }
        return passes;
    };
    EXPECT_EQ(draw(), 1);
    EXPECT_EQ(mDevice.Count(Call::DrawIndexedPrimitive), 1u);

    RuntimeFixture::Touch("data/fx/a.fx", Fx("float scale\n")); // missing semicolon
    mRuntime.TakeLog();
    EXPECT_THROW(core::ResourceManager::Get()->UpdateAll(), core::Exception);
    const auto log = mRuntime.TakeLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_TRUE(log[2].starts_with("ERROR|.\\effectFileParser.cpp|data/fx/a.fx(2): ")) << log[2];
    EXPECT_EQ(log[3], "ERROR|.\\resourceTypes.cpp|Failed to create effect data/fx/a.fx");
    EXPECT_EQ(shader->GetFXEffect()->Handle(), nullptr);

    mDevice.ClearCalls();
    EXPECT_EQ(draw(), 0);
    shader->Render(object);
    EXPECT_EQ(mDevice.Count(Call::DrawIndexedPrimitive), 0u);
    EXPECT_EQ(mDevice.Count(Call::SetProgram), 0u);
    core::ResourceManager::Get()->UpdateAll(); // unchanged broken file: tried once only

    // The good save moves the parameters: the handles must follow.
    RuntimeFixture::Touch("data/fx/a.fx", Fx("float4 first;\nfloat scale;\n"));
    core::ResourceManager::Get()->UpdateAll();
    ASSERT_NE(shader->GetFXEffect()->Handle(), nullptr);
    EXPECT_EQ(draw(), 1);
    EXPECT_EQ(mDevice.Count(Call::DrawIndexedPrimitive), 1u);
    const gfx::CompiledEffect& compiled = *shader->GetFXEffect()->Handle();
    ASSERT_EQ(shader->SemanticBindings().size(), 1u);
    EXPECT_EQ(shader->SemanticBindings()[0].handle, compiled.GetParameterByName("texAdj"));
    EXPECT_EQ(compiled.GetMatrix(compiled.GetParameterByName("texAdj")).m[0], 0.5f);
    EXPECT_EQ(compiled.GetVector(compiled.GetParameterByName("first")).x, 0.0f);
}

} // namespace
