#include "engine/gfx/effectScript.h"
#include "engine/core/exception.h"
#include "engine/core/stringConversion.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

using engine::gfx::EffectVariant;
using engine::gfx::ParseMaterialScript;
using engine::gfx::ScriptResource;

namespace {

class EffectScriptTest : public ::testing::Test {
protected:
    std::vector<EffectVariant> Parse(const std::string& script) {
        kovra::test::WriteFile("data/test.efx", script);
        return ParseMaterialScript("data/test.efx", mLoader);
    }

    // The text of the Exception the script raises.
    std::string ErrorOf(const std::string& script) {
        try {
            Parse(script);
        } catch (const engine::core::Exception& e) {
            return engine::core::Narrow(e.GetText());
        }
        return "<no error>";
    }

    static std::string Pass(const std::string& body) {
        return "effect = { { priority = 1, pass = { { " + body + " } } } }";
    }

    kovra::test::LogCapture mLog;
    std::vector<std::pair<ScriptResource, std::wstring>> mRequests;
    engine::gfx::ScriptResourceLoader mLoader = [this](ScriptResource kind,
                                                       const std::wstring& name) {
        mRequests.emplace_back(kind, name);
        return std::shared_ptr<engine::core::resources::Resource>();
    };
};

TEST_F(EffectScriptTest, ReadsAFullPassDescription) {
    const auto variants = Parse(R"(
        local base = "terrain"
        effect = {
          { priority = 2,
            pass = {
              { priority = 7.9, fx = base, tec = "Lit", rtt_stex = "glow256", do_not_clear = true,
                params = { {"float4", "tint", {1, 0.5, 0.25, 2}}, {"float3", "dir", {1, 0.5}},
                           {"float2", "offset", {3, 4}}, {"float", "scale", 1.5},
                           {"int", "count", 2.9}, {"int", "negative", -2.9},
                           {"ipo", "alpha", "ignored"}, {"bool", "fog", false},
                           {"bool", "lit", 0}, {"tex", "diffuse", "data/grass.dds"},
                           {"cube", "sky", "data/sky.dds"}, {"target", "scene", "copy1024"},
                           {"depth", "shadow", "depth512"} },
                streams = { "pos", "normal", "tex", "tbn", "bone", "pos" } } } } }
    )");
    ASSERT_EQ(variants.size(), 1u);
    EXPECT_EQ(variants[0].priority, 2);
    ASSERT_EQ(variants[0].passes.size(), 1u);
    const auto& pass = variants[0].passes[0];
    EXPECT_EQ(pass.priority, 7);
    EXPECT_EQ(pass.effectFile, "terrain.fx");
    EXPECT_EQ(pass.technique, "Lit");
    EXPECT_TRUE(pass.hasColorTarget);
    EXPECT_FALSE(pass.hasDepthTarget);
    EXPECT_TRUE(pass.clearSuppressed);
    EXPECT_EQ(pass.colorTarget, "glow256");

    ASSERT_EQ(pass.float4Params.size(), 1u);
    EXPECT_EQ(pass.float4Params[0].name, "tint");
    EXPECT_EQ(pass.float4Params[0].value->value[1], 0.5f);
    EXPECT_EQ(pass.float4Params[0].value->value[3], 2.0f);
    EXPECT_EQ(*pass.float4Params[0].enabled, 1);
    ASSERT_EQ(pass.float3Params.size(), 1u);
    EXPECT_EQ(pass.float3Params[0].value->value[0], 1.0f);
    EXPECT_EQ(pass.float3Params[0].value->value[1], 0.5f);
    EXPECT_EQ(pass.float3Params[0].value->value[2], 0.0f);
    ASSERT_EQ(pass.float2Params.size(), 1u);
    EXPECT_EQ(pass.float2Params[0].value->value[1], 4.0f);
    ASSERT_EQ(pass.floatParams.size(), 3u);
    EXPECT_EQ(pass.floatParams[0].value->value, 1.5f);
    EXPECT_EQ(pass.floatParams[1].name, "count");
    EXPECT_EQ(pass.floatParams[1].value->value, 2.0f);
    EXPECT_EQ(pass.floatParams[2].value->value, -2.0f);
    ASSERT_EQ(pass.ipoParams.size(), 1u);
    EXPECT_EQ(pass.ipoParams[0].name, "alpha");
    EXPECT_EQ(pass.ipoParams[0].value->address, nullptr);
    ASSERT_EQ(pass.boolParams.size(), 2u);
    EXPECT_FALSE(pass.boolParams[0].value->value);
    EXPECT_TRUE(pass.boolParams[1].value->value); // only nil and false are false
    ASSERT_EQ(pass.textureParams.size(), 4u);
    EXPECT_EQ(pass.textureParams[3].name, "shadow");
    EXPECT_TRUE(pass.rawParams.empty());
    EXPECT_EQ(pass.streams, (std::set<int>{0, 1, 2, 3, 4}));

    // The colour target is made sure of before the textures, in script order.
    const std::vector<std::pair<ScriptResource, std::wstring>> expected = {
        {ScriptResource::RenderTarget, L"glow256"},
        {ScriptResource::Texture, L"data/grass.dds"},
        {ScriptResource::CubeTexture, L"data/sky.dds"},
        {ScriptResource::RenderTarget, L"copy1024"},
        {ScriptResource::DepthTarget, L"depth512"},
    };
    EXPECT_EQ(mRequests, expected);

    const std::string rows = mLog.Rows();
    EXPECT_NE(rows.find("<td>engine\\Shader</td><td>Parsing material script data/test.efx</td>"),
              std::string::npos)
        << rows;
}

TEST_F(EffectScriptTest, ReadsTheDocumentedExample) {
    const auto variants =
        ParseMaterialScript(KOVRA_SOURCE_DIR "/tests/effects/data/example.efx", mLoader);
    ASSERT_EQ(variants.size(), 3u);
    EXPECT_EQ(variants[0].priority, 3);
    ASSERT_EQ(variants[0].passes.size(), 2u);
    EXPECT_EQ(variants[0].passes[1].technique, "Blur");
    EXPECT_EQ(variants[0].passes[1].colorTarget, "glow256");
    EXPECT_FALSE(variants[0].passes[0].hasColorTarget);
    EXPECT_EQ(variants[0].passes[0].textureParams.size(), 2u);
    EXPECT_EQ(variants[2].passes[0].technique, "Plain");
    EXPECT_EQ(variants[2].passes[0].streams, (std::set<int>{0, 4}));
}

TEST_F(EffectScriptTest, MissingOptionalKeysTakeTheirDefaults) {
    const auto variants = Parse("effect = { { pass = { { params = {}, streams = {} } } } }");
    ASSERT_EQ(variants.size(), 1u);
    const auto& pass = variants[0].passes.at(0);
    EXPECT_EQ(variants[0].priority, 0);
    EXPECT_EQ(pass.priority, 0);
    EXPECT_EQ(pass.effectFile, ".fx");
    EXPECT_EQ(pass.technique, "");
    EXPECT_FALSE(pass.clearSuppressed);
    EXPECT_FALSE(pass.hasColorTarget);
    EXPECT_FALSE(pass.hasDepthTarget);
    EXPECT_TRUE(pass.streams.empty());
    EXPECT_TRUE(mRequests.empty());
}

TEST_F(EffectScriptTest, ColourTargetWinsOverDepthTarget) {
    auto pass =
        Parse(Pass("rtt_stex = 'a', rtt_dtex = 'b', params = {}, streams = {}"))[0].passes[0];
    EXPECT_TRUE(pass.hasColorTarget);
    EXPECT_FALSE(pass.hasDepthTarget);
    EXPECT_EQ(pass.depthTarget, "b");
    ASSERT_EQ(mRequests.size(), 1u);
    EXPECT_EQ(mRequests[0].first, ScriptResource::RenderTarget);

    mRequests.clear();
    pass = Parse(Pass("rtt_dtex = 'b', params = {}, streams = {}"))[0].passes[0];
    EXPECT_FALSE(pass.hasColorTarget);
    EXPECT_TRUE(pass.hasDepthTarget);
    ASSERT_EQ(mRequests.size(), 1u);
    EXPECT_EQ(mRequests[0], std::make_pair(ScriptResource::DepthTarget, std::wstring(L"b")));
}

TEST_F(EffectScriptTest, VariantsSortByPriorityStably) {
    const auto variants = Parse(R"(
        local function variant(p, t) return { priority = p, pass = { { tec = t, params = {}, streams = {} } } } end
        effect = { variant(1, "a"), variant(3, "b"), variant(1, "c"), variant(3, "d"), variant(-1e300, "e") }
    )");
    std::string order;
    for (const auto& variant : variants)
        order += variant.passes[0].technique;
    EXPECT_EQ(order, "bdace");
    EXPECT_EQ(variants.back().priority, INT32_MIN);
}

TEST_F(EffectScriptTest, ArraysEndAtTheirFirstHoleAndNumbersReadAsText) {
    const auto variants = Parse(R"(
        effect = { { pass = { { fx = 12, params = { {"float", "a", 1}, {"float", "b", 2}, [4] = {"float", "d", 4} },
                                streams = { "pos", nil, "bone" } },
                              { params = {}, streams = {} } } } }
    )");
    const auto& pass = variants[0].passes[0];
    EXPECT_EQ(pass.effectFile, "12.fx");
    EXPECT_EQ(pass.floatParams.size(), 2u);
    EXPECT_EQ(pass.streams, (std::set<int>{0}));
    EXPECT_EQ(variants[0].passes.size(), 2u);
}

TEST_F(EffectScriptTest, HugeNumbersSaturate) {
    const auto pass = Parse(Pass("priority = 1e300, params = { {'float', 'a', -1e300}, "
                                 "{'int', 'b', 1e300}, {'float2', 'c', {1e300, 0/0}} }, "
                                 "streams = {}"))[0]
                          .passes[0];
    EXPECT_EQ(pass.priority, INT32_MAX);
    EXPECT_EQ(pass.floatParams[0].value->value, -std::numeric_limits<float>::infinity());
    EXPECT_EQ(pass.floatParams[1].value->value, static_cast<float>(INT32_MAX));
    EXPECT_EQ(pass.float2Params[0].value->value[0], std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(pass.float2Params[0].value->value[1]));
}

TEST_F(EffectScriptTest, EmptyEffectYieldsNoVariants) {
    EXPECT_TRUE(Parse("effect = {}").empty());
    EXPECT_EQ(Parse("effect = { { pass = {} } }").at(0).passes.size(), 0u);
}

TEST_F(EffectScriptTest, EveryMalformedPartGivesItsError) {
    EXPECT_EQ(ErrorOf("x = 1"), "Effect must be a table");
    EXPECT_EQ(ErrorOf("effect = 'text'"), "Effect must be a table");
    EXPECT_EQ(ErrorOf("effect = { {} }"), "Pass must be a table");
    EXPECT_EQ(ErrorOf("effect = { { pass = 3 } }"), "Pass must be a table");
    // An element that is not a table reads as if every key were missing.
    EXPECT_EQ(ErrorOf("effect = { 5 }"), "Pass must be a table");
    EXPECT_EQ(ErrorOf("effect = { { pass = { 'x' } } }"), "Params must be a table");
    EXPECT_EQ(ErrorOf(Pass("streams = {}")), "Params must be a table");
    EXPECT_EQ(ErrorOf(Pass("params = { 'float' }, streams = {}")),
              "Parameter description must be a table");
    EXPECT_EQ(ErrorOf(Pass("params = { {'float2', 'a', 1} }, streams = {}")),
              "float2 value must be a table");
    EXPECT_EQ(ErrorOf(Pass("params = { {'float3', 'a'} }, streams = {}")),
              "float3 value must be a table");
    EXPECT_EQ(ErrorOf(Pass("params = { {'float4', 'a', 'x'} }, streams = {}")),
              "float4 value must be a table");
    EXPECT_EQ(ErrorOf(Pass("params = { {'Float', 'a', 1} }, streams = {}")),
              "Unsupported parameter type( supported: int, float, bool, tex, target )");
    EXPECT_EQ(ErrorOf(Pass("params = {}")), "Streams must be a table");
    EXPECT_EQ(ErrorOf(Pass("params = {}, streams = 'pos'")), "Streams must be a table");
    EXPECT_EQ(ErrorOf(Pass("params = {}, streams = { 'pos', 'color' }")),
              "Unsupported stream type ( supported: pos, normal, tex, tbn, bone )");

    const std::string rows = mLog.Rows();
    EXPECT_NE(rows.find("<tr class=\"error\"><td>ERROR</td><td>"), std::string::npos);
    EXPECT_NE(rows.find("</td><td>engine\\Shader</td><td>Params must be a table</td></tr>"),
              std::string::npos)
        << rows;
}

TEST_F(EffectScriptTest, ResourceErrorsEndTheRead) {
    mLoader = [](ScriptResource,
                 const std::wstring& name) -> std::shared_ptr<engine::core::resources::Resource> {
        engine::core::Logging::Get()->Error(
            "Failed to create texture " + engine::core::Narrow(name), ".\\resourceTypes.cpp", 1);
    };
    EXPECT_EQ(ErrorOf(Pass("params = { {'tex', 'a', 'data/missing.dds'} }, streams = {}")),
              "Failed to create texture data/missing.dds");
}

TEST_F(EffectScriptTest, LuaFailuresAreReportedWithLuasMessage) {
    EXPECT_EQ(ErrorOf("effect = {"),
              "Error in lua script: data/test.efx:1: unexpected symbol near '<eof>'");
    EXPECT_EQ(ErrorOf("print('hello')"),
              "Error in lua script: data/test.efx:1: attempt to call global 'print' (a nil value)");
    EXPECT_EQ(ErrorOf("local x = string.format('%d', 1)"),
              "Error in lua script: data/test.efx:1: attempt to index global 'string' (a nil "
              "value)");
    EXPECT_EQ(ErrorOf("\n\nlocal x = nil + 1"),
              "Error in lua script: data/test.efx:3: attempt to perform arithmetic on a nil value");
}

TEST_F(EffectScriptTest, MissingFileIsReportedAsLuaDoes) {
    try {
        ParseMaterialScript("data/none.efx", mLoader);
        FAIL() << "no error";
    } catch (const engine::core::Exception& e) {
        EXPECT_EQ(engine::core::Narrow(e.GetText()),
                  "Error in lua script: cannot open data/none.efx: No such file or directory");
    }
    const std::string rows = mLog.Rows();
    EXPECT_NE(rows.find("</td><td>engine\\luaWrapper</td><td>Error in lua script: cannot open "
                        "data/none.efx: No such file or directory</td></tr>"),
              std::string::npos)
        << rows;
}

TEST_F(EffectScriptTest, RunawayScriptsAreStopped) {
    EXPECT_EQ(ErrorOf("while true do end"),
              "Error in lua script: data/test.efx:1: script stopped after 10000000 instructions "
              "(endless loop?)");
    EXPECT_EQ(ErrorOf("local function f() return f() end\nf()"),
              "Error in lua script: data/test.efx:1: script stopped after 10000000 instructions "
              "(endless loop?)");
    EXPECT_EQ(ErrorOf("local s = 'x' while true do s = s .. s end"),
              "Error in lua script: not enough memory");
    EXPECT_EQ(ErrorOf("local function f() return 1 + f() end\nf()"),
              "Error in lua script: data/test.efx:1: stack overflow");
}

TEST_F(EffectScriptTest, PrecompiledChunksAreRefused) {
    EXPECT_EQ(ErrorOf("\x1bLua\x51\x00garbage"),
              "Error in lua script: data/test.efx: precompiled chunks are not accepted");
    EXPECT_EQ(ErrorOf("#!/usr/bin/lua\n\x1bLua\x51"),
              "Error in lua script: data/test.efx: precompiled chunks are not accepted");
    // A first line starting with '#' is skipped and line numbers still count it.
    EXPECT_EQ(ErrorOf("#!comment\nx = nil + 1"),
              "Error in lua script: data/test.efx:2: attempt to perform arithmetic on a nil value");
}

} // namespace
