#include "effects-runtime/runtimeFixture.h"
#include "engine/core/exception.h"
#include "engine/platform/recordingDevice.h"
#include "engine/wrapper/wrapper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

using namespace engine;
using kovra::test::RuntimeFixture;

namespace {

// An effect file whose techniques T30, T20 and T11 use pixel shaders 3.0, 2.0
// and 1.1.
const char* const kVersionsFx = R"(float4x4 wvp : WorldViewProjection;
vertexshader vs { void main() { gl_Position = POSITION * wvp; } }
pixelshader ps { void main() { COLOR0 = vec4(1.0); } }
technique T30 { pass { VertexShader = compile vs_2_0 vs(); PixelShader = compile ps_3_0 ps(); } }
technique T20 { pass { VertexShader = compile vs_2_0 vs(); PixelShader = compile ps_2_0 ps(); } }
technique T11 { pass { VertexShader = compile vs_1_1 vs(); PixelShader = compile ps_1_1 ps(); } }
)";

std::string Variant(int priority, const std::string& technique,
                    const std::string& fx = "versions") {
    return "{ priority = " + std::to_string(priority) + ", pass = { { fx = \"" + fx +
           "\", tec = \"" + technique + "\", params = {}, streams = { \"pos\" } } } },\n";
}

class EffectPoolTest : public ::testing::Test {
protected:
    EffectPoolTest() {
        RuntimeFixture::Write("data/fx/versions.fx", kVersionsFx);
        gfx::EffectPool::Get();
        mRuntime.TakeLog();
    }

    static std::string ChosenTechnique(const std::shared_ptr<gfx::Effect>& effect) {
        return effect && !effect->Shaders().empty()
                   ? effect->Shaders().front()->Description().technique
                   : "";
    }

    static constexpr const char* kFailed =
        "WARNING|engine\\effectPool|Effect data/fx/versions.fx Technique ";
    static constexpr const char* kFallback =
        "WARNING|engine\\effectPool|No effects supported in the list, falling back to wireframe";

    platform::RecordingDevice mDevice;
    RuntimeFixture mRuntime{&mDevice};
};

TEST_F(EffectPoolTest, HighestPriorityWinsWithoutTarget) {
    RuntimeFixture::Write("data/a.efx", "effect = {" + Variant(1, "T11") + Variant(3, "T30") +
                                            Variant(2, "T20") + "}");
    EXPECT_EQ(ChosenTechnique(gfx::EffectPool::Get()->GenerateEffect("data/a.efx")), "T30");
}

TEST_F(EffectPoolTest, VersionCapChoosesTheFirstVariantWithinItAfterOneWarning) {
    RuntimeFixture::Write("data/a.efx", "effect = {" + Variant(3, "T30") + Variant(2, "T20") +
                                            Variant(1, "T11") + "}");
    SetTargetShaderVersion(0xFFFF0200);
    mRuntime.TakeLog();
    EXPECT_EQ(ChosenTechnique(BuildEffect("data/a.efx")), "T20");
    const auto log = mRuntime.TakeLog();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& row) { return row.starts_with("WARNING"); }),
              1);
    EXPECT_NE(std::find(log.begin(), log.end(), std::string(kFailed) + "T30 failed"), log.end());
}

TEST_F(EffectPoolTest, EqualPrioritiesKeepScriptOrder) {
    RuntimeFixture::Write("data/a.efx", "effect = {" + Variant(2, "T11") + Variant(2, "T30") + "}");
    EXPECT_EQ(ChosenTechnique(gfx::EffectPool::Get()->GenerateEffect("data/a.efx")), "T11");
}

TEST_F(EffectPoolTest, EveryVariantFailingGivesTheSharedWireframeEffect) {
    RuntimeFixture::Write("data/a.efx", "effect = {" + Variant(3, "Missing") +
                                            Variant(2, "T20", "absent") + Variant(1, "T30") + "}");
    gfx::EffectPool::Get()->SetTargetShaderVersion(0xFFFF0101);
    const auto first = gfx::EffectPool::Get()->GenerateEffect("data/a.efx");
    const auto log = mRuntime.TakeLog();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, gfx::EffectPool::Get()->WireframeEffect());
    EXPECT_EQ(ChosenTechnique(first), "Wireframe");
    EXPECT_EQ(first->Streams(), std::set<int>{gfx::kStreamPosition});
    const std::vector<std::string> warnings = {
        std::string(kFailed) + "Missing failed",
        "WARNING|engine\\effectPool|Effect data/fx/absent.fx Technique T20 failed",
        std::string(kFailed) + "T30 failed",
        kFallback,
    };
    std::vector<std::string> seen;
    for (const auto& row : log)
        if (row.starts_with("WARNING|engine\\effectPool"))
            seen.push_back(row);
    EXPECT_EQ(seen, warnings);
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "ERROR|engine\\Shader|No such technique Missing in data/fx/versions.fx"),
              log.end());
    EXPECT_EQ(gfx::EffectPool::Get()->GenerateEffect("data/a.efx"), first);
}

TEST_F(EffectPoolTest, TechniqueThatDoesNotValidateIsSkipped) {
    mDevice.Caps().pixelShaderVersion = 0xFFFF0200;
    RuntimeFixture::Write("data/a.efx", "effect = {" + Variant(3, "T30") + Variant(2, "T20") + "}");
    EXPECT_EQ(ChosenTechnique(gfx::EffectPool::Get()->GenerateEffect("data/a.efx")), "T20");
    const auto log = mRuntime.TakeLog();
    EXPECT_NE(
        std::find(log.begin(), log.end(),
                  "WARNING|engine\\Shader|FXShader versions.fx with technique T30 not supported"),
        log.end());
}

TEST_F(EffectPoolTest, MaterialEffectsIgnoreTheCapAndRaiseWhenNothingWorks) {
    RuntimeFixture::Write("data/m.efx", "effect = {" + Variant(3, "T30") + "}");
    RuntimeFixture::Write("data/bad.efx", "effect = {" + Variant(3, "Nope") + "}");
    auto* pool = gfx::EffectPool::Get();
    pool->SetTargetShaderVersion(0xFFFF0101);
    EXPECT_EQ(ChosenTechnique(pool->GenerateMaterialEffect("data/m.efx")), "T30");
    mRuntime.TakeLog();
    EXPECT_THROW(pool->GenerateMaterialEffect("data/bad.efx"), core::Exception);
    const auto log = mRuntime.TakeLog();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], std::string(kFailed) + "Nope failed");
    EXPECT_EQ(log.back(), "ERROR|engine\\effectPool|Failed to generate an effect");
}

TEST_F(EffectPoolTest, SameScriptTwiceSharesTheCompiledFile) {
    RuntimeFixture::Write("data/a.efx", "effect = {" + Variant(2, "T20") + "}");
    const auto a = gfx::EffectPool::Get()->GenerateEffect("data/a.efx");
    const auto b = gfx::EffectPool::Get()->GenerateEffect("data/a.efx");
    ASSERT_NE(a, b);
    EXPECT_NE(a->Shaders()[0], b->Shaders()[0]);
    EXPECT_EQ(a->Shaders()[0]->GetFXEffect(), b->Shaders()[0]->GetFXEffect());
}

TEST_F(EffectPoolTest, EmptyPassListGivesAnEffectWithoutShaders) {
    RuntimeFixture::Write("data/a.efx", "effect = { { priority = 1, pass = {} } }");
    const auto effect = gfx::EffectPool::Get()->GenerateEffect("data/a.efx");
    ASSERT_NE(effect, nullptr);
    EXPECT_NE(effect, gfx::EffectPool::Get()->WireframeEffect());
    EXPECT_TRUE(effect->Shaders().empty());
    EXPECT_TRUE(effect->IsValid());
}

TEST_F(EffectPoolTest, ScriptErrorsLeaveTheGenerator) {
    RuntimeFixture::Write("data/a.efx", "effect = 3");
    EXPECT_THROW(gfx::EffectPool::Get()->GenerateEffect("data/a.efx"), core::Exception);
    const auto log = mRuntime.TakeLog();
    EXPECT_EQ(log.back(), "ERROR|engine\\Shader|Effect must be a table");
}

// Techniques drawn with screen quads whose materials lead back to
// themselves: Self names its own script, Ping and Pong name each other's.
const char* const kLoopsFx = R"(float4x4 wvp : WorldViewProjection;
vertexshader vs { void main() { gl_Position = POSITION * wvp; } }
technique Self < bool quad = true; string material = "self"; > { pass { VertexShader = compile vs_1_1 vs(); } }
technique Ping < bool quad = true; string material = "pong"; > { pass { VertexShader = compile vs_1_1 vs(); } }
technique Pong < bool quad = true; string material = "ping"; > { pass { VertexShader = compile vs_1_1 vs(); } }
technique Plain { pass { VertexShader = compile vs_1_1 vs(); } }
technique Framed < bool quad = true; string material = "plain"; > { pass { VertexShader = compile vs_1_1 vs(); } }
)";

class QuadMaterialTest : public EffectPoolTest {
protected:
    QuadMaterialTest() {
        RuntimeFixture::Write("data/fx/loops.fx", kLoopsFx);
        for (const char* name : {"self", "ping", "pong", "plain"}) {
            std::string technique = name;
            technique[0] = static_cast<char>(std::toupper(technique[0]));
            RuntimeFixture::Write(std::string("data/fx/") + name + ".efx",
                                  "effect = {" + Variant(1, technique, "loops") + "}");
        }
    }

    static bool Has(const std::vector<std::string>& log, const std::string& row) {
        return std::find(log.begin(), log.end(), row) != log.end();
    }
};

TEST_F(QuadMaterialTest, AMaterialThatNamesItselfIsRefused) {
    auto* pool = gfx::EffectPool::Get();
    EXPECT_THROW(pool->GenerateMaterialEffect("data/fx/self.efx"), core::Exception);
    auto log = mRuntime.TakeLog();
    EXPECT_TRUE(Has(log, "ERROR|engine\\effectPool|Quad material cycle: effect data/fx/self.efx "
                         "is needed while it is being built"));

    // An effect drawn with it falls back to the wireframe effect.
    RuntimeFixture::Write("data/a.efx", "effect = {" + Variant(1, "Self", "loops") + "}");
    EXPECT_EQ(pool->GenerateEffect("data/a.efx"), pool->WireframeEffect());
    log = mRuntime.TakeLog();
    EXPECT_TRUE(Has(log, kFallback));
    EXPECT_TRUE(Has(log, "ERROR|engine\\effectPool|Quad material cycle: effect data/fx/self.efx "
                         "is needed while it is being built"));
}

TEST_F(QuadMaterialTest, TwoMaterialsThatNameEachOtherAreRefused) {
    RuntimeFixture::Write("data/a.efx", "effect = {" + Variant(2, "Ping", "loops") +
                                            Variant(1, "Plain", "loops") + "}");
    const auto effect = gfx::EffectPool::Get()->GenerateEffect("data/a.efx");
    EXPECT_EQ(ChosenTechnique(effect), "Plain");
    const auto log = mRuntime.TakeLog();
    EXPECT_TRUE(Has(log, "ERROR|engine\\effectPool|Quad material cycle: effect data/fx/pong.efx "
                         "is needed while it is being built"));
    EXPECT_TRUE(
        Has(log, "WARNING|engine\\effectPool|Effect data/fx/loops.fx Technique Ping failed"));
    // The refusal does not stick: the materials build where they do not loop.
    EXPECT_NE(gfx::EffectPool::Get()->GenerateMaterialEffect("data/fx/plain.efx"), nullptr);
}

// The pool's own fallback effect may use a quad material: building it asks
// the pool (through its singleton) while the pool is still being built.
TEST_F(QuadMaterialTest, AQuadInTheWireframeEffectFindsThePoolBeingBuilt) {
    delete gfx::EffectPool::mInstance;
    RuntimeFixture::Write("data/wireframe.efx", "effect = {" + Variant(0, "Framed", "loops") + "}");
    auto* pool = gfx::EffectPool::Get();
    ASSERT_NE(pool->WireframeEffect(), nullptr);
    const auto& shader = pool->WireframeEffect()->Shaders().at(0);
    EXPECT_TRUE(shader->IsQuad());
    ASSERT_NE(shader->QuadMaterial(), nullptr);
    EXPECT_EQ(shader->QuadMaterial()->Shaders().at(0)->Description().technique, "Plain");
    EXPECT_EQ(gfx::EffectPool::mInstance, pool);
}

TEST_F(EffectPoolTest, MissingWireframeScriptLeavesThePoolWorkingWithoutFallback) {
    delete gfx::EffectPool::mInstance;
    std::filesystem::remove("data/wireframe.efx");
    RuntimeFixture::Write("data/a.efx", "effect = {" + Variant(2, "Missing") + "}");
    EXPECT_EQ(gfx::EffectPool::Get()->WireframeEffect(), nullptr);
    const auto log = mRuntime.TakeLog();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "WARNING|engine\\effectPool|No wireframe effect from data/wireframe.efx: "
                        "objects whose effects all fail are not drawn"),
              log.end());
    EXPECT_EQ(gfx::EffectPool::Get()->GenerateEffect("data/a.efx"), nullptr);
}

} // namespace
