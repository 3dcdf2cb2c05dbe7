// The show's effect scripts and effect files on the machine's OpenGL: every
// script builds at both shader models without a complaint, and the looks
// that matter are checked pixel by pixel on small renders.
#include "showfx/showFixture.h"

#include "engine/gfx/effectScript.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>

using namespace engine;
using kovra::test::Channels;
using kovra::test::ShowFixture;

namespace {

constexpr std::uint32_t kPs30 = 0xFFFF0300;
constexpr std::uint32_t kPs20 = 0xFFFF0200;

// Pixel-shader versions of every pass of a built effect, quad materials
// included (the pool does not test those against the target).
void CollectVersions(const gfx::Effect& effect, std::vector<std::string>& over,
                     std::uint32_t target) {
    for (const auto& shader : effect.Shaders()) {
        const gfx::CompiledEffect& compiled = *shader->GetFXEffect()->Handle();
        const auto passes = compiled.GetTechniqueDesc(shader->Technique()).passes.size();
        for (std::size_t i = 0; i < passes; ++i)
            if (compiled.GetPixelShaderVersion(shader->Technique(), int(i)) > target)
                over.push_back(shader->Description().technique);
        if (shader->QuadMaterial())
            CollectVersions(*shader->QuadMaterial(), over, target);
    }
}

std::vector<std::string> Techniques(const gfx::Effect& effect) {
    std::vector<std::string> names;
    for (const auto& shader : effect.Shaders())
        names.push_back(shader->Description().effectFile + ":" + shader->Description().technique);
    return names;
}

class ShowEffects : public ShowFixture {};

TEST_F(ShowEffects, EveryScriptBuildsItsBestVariantAtPs30WithoutComplaint) {
    const auto scripts = kovra::test::ShowScripts();
    ASSERT_GE(scripts.size(), 9u);
    gfx::EffectPool::Get()->SetTargetShaderVersion(kPs30);
    mRuntime.TakeLog();
    for (const std::string& script : scripts) {
        const auto effect = gfx::EffectPool::Get()->GenerateEffect(script);
        ASSERT_NE(effect, nullptr) << script;
        // The first variant of the script is the one built.
        const auto variants = gfx::ParseMaterialScript(script, gfx::LoadScriptResource);
        ASSERT_FALSE(variants.empty()) << script;
        std::vector<std::string> expected;
        for (const auto& pass : variants.front().passes)
            expected.push_back(pass.effectFile + ":" + pass.technique);
        EXPECT_EQ(Techniques(*effect), expected) << script;
        for (const std::string& row : mRuntime.TakeLog())
            EXPECT_TRUE(row.starts_with("MESSAGE|")) << script << ": " << row;
    }
}

TEST_F(ShowEffects, EveryScriptFallsBackWithinPs20) {
    gfx::EffectPool::Get()->SetTargetShaderVersion(kPs20);
    mRuntime.TakeLog();
    for (const std::string& script : kovra::test::ShowScripts()) {
        const auto effect = gfx::EffectPool::Get()->GenerateEffect(script);
        ASSERT_NE(effect, nullptr) << script;
        if (script != "data/wireframe.efx") {
            EXPECT_NE(Techniques(*effect).front(), "wireframe.fx:Wireframe") << script;
        }
        std::vector<std::string> over;
        CollectVersions(*effect, over, kPs20);
        EXPECT_TRUE(over.empty()) << script << ": " << ::testing::PrintToString(over);
        // Only the dropped ps_3_0 variants are reported.
        for (const std::string& row : mRuntime.TakeLog()) {
            if (row.starts_with("MESSAGE|"))
                continue;
            EXPECT_TRUE(row.starts_with("WARNING|engine\\effectPool|Effect data/fx/") &&
                        row.ends_with("30 failed"))
                << script << ": " << row;
        }
    }
}

using platform::DeclType;
using platform::DeclUsage;

constexpr std::uint32_t kClear = 0xFF000040; // dark blue, ARGB

// Pixel (x, y) of a picture of ShowFixture::kSize squared.
std::uint32_t At(const std::vector<std::uint32_t>& picture, int x, int y) {
    return picture.at(std::size_t(y) * ShowFixture::kSize + std::size_t(x));
}

// A quad in clip space from (x0, y0) to (x1, y1) at depth 0.5, as two
// clockwise triangles, for vertices of `floats` floats whose first three are
// the position; `rest` fills the others per corner (u, v of the corner given).
void AddQuad(std::vector<float>& vertices, std::vector<std::uint16_t>& indices, int floats,
             float x0, float y0, float x1, float y1,
             const std::function<std::vector<float>(float u, float v)>& rest) {
    const auto first = static_cast<std::uint16_t>(vertices.size() / std::size_t(floats));
    const float corners[4][4] = {{x0, y1, 0, 0}, {x1, y1, 1, 0}, {x1, y0, 1, 1}, {x0, y0, 0, 1}};
    for (const auto& c : corners) {
        vertices.insert(vertices.end(), {c[0], c[1], 0.5f});
        const auto extra = rest(c[2], c[3]);
        vertices.insert(vertices.end(), extra.begin(), extra.end());
    }
    for (const int i : {0, 1, 2, 0, 2, 3})
        indices.push_back(static_cast<std::uint16_t>(first + i));
}

class ShowLooks : public ShowFixture {
protected:
    // Terrain vertices: position, normal, texture coordinates, weights.
    engine::gfx::RenderObject Ground(const std::vector<std::array<float, 3>>& bandWeights, float y0,
                                     float y1) {
        std::vector<float> vertices;
        std::vector<std::uint16_t> indices;
        const float width = 2.0f / float(bandWeights.size());
        for (std::size_t band = 0; band < bandWeights.size(); ++band) {
            const auto& w = bandWeights[band];
            const float x0 = -1.0f + width * float(band);
            AddQuad(vertices, indices, 11, x0, y0, x0 + width, y1, [&](float u, float v) {
                return std::vector<float>{0, 0, -1, u, v, w[0], w[1], w[2]};
            });
        }
        return Object(vertices, 11,
                      {{0, DeclType::Float3, DeclUsage::Position, 0},
                       {12, DeclType::Float3, DeclUsage::Normal, 0},
                       {24, DeclType::Float2, DeclUsage::TexCoord, 0},
                       {32, DeclType::Float3, DeclUsage::Tangent, 0}},
                      indices);
    }

    // Sand red, grass green, rock blue, the noise a flat middle grey.
    void PaintGround() {
        Paint(L"data/textures/sand.dds", 0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000);
        Paint(L"data/textures/grass.dds", 0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00);
        Paint(L"data/textures/rock.dds", 0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF);
        Paint(L"data/textures/noise.dds", 0x80808080, 0x80808080, 0x80808080, 0x80808080);
    }
};

TEST_F(ShowLooks, TerrainBlendsItsMaterialsByTheWeightStream) {
    for (const std::uint32_t version : {kPs30, kPs20}) {
        SCOPED_TRACE(version == kPs30 ? "ps_3_0" : "ps_2_0");
        gfx::EffectPool::Get()->SetTargetShaderVersion(version);
        const auto terrain = gfx::EffectPool::Get()->GenerateEffect("data/terrain.efx");
        PaintGround();
        const auto picture =
            Draw(*terrain->Shaders().at(0),
                 Ground({{1, 0, 0}, {0.5f, 0.5f, 0}, {0, 1, 0}, {0, 0, 1}}, -1, 1), kClear);
        const auto sand = Channels(At(picture, 8, 32));
        const auto half = Channels(At(picture, 24, 32));
        const auto grass = Channels(At(picture, 40, 32));
        const auto rock = Channels(At(picture, 56, 32));
        EXPECT_GT(sand.r, 60);
        EXPECT_EQ(sand.g + sand.b, 0);
        EXPECT_GT(grass.g, 60);
        EXPECT_EQ(grass.r + grass.b, 0);
        EXPECT_GT(rock.b, 60);
        EXPECT_EQ(rock.r + rock.g, 0);
        // Half sand, half grass: both, about half as strong.
        EXPECT_NEAR(half.r, sand.r / 2, 12);
        EXPECT_NEAR(half.g, grass.g / 2, 12);
        EXPECT_EQ(half.b, 0);
    }
}

TEST_F(ShowLooks, MirrorPassDrawsOnlyWhatIsAboveTheWaterUpsideDown) {
    const auto terrain = gfx::EffectPool::Get()->GenerateEffect("data/terrain.efx");
    const auto& mirror = *terrain->Shaders().at(1);
    ASSERT_EQ(mirror.Description().colorTarget, "waterReflect256");
    PaintGround();
    // Without a camera, scene space is clip space: the water is the screen's
    // middle row. Sand above the water on the left, rock below it on the right.
    std::vector<float> vertices;
    std::vector<std::uint16_t> indices;
    AddQuad(vertices, indices, 11, -1, 0.2f, 0, 0.9f,
            [](float u, float v) { return std::vector<float>{0, 0, -1, u, v, 1, 0, 0}; });
    AddQuad(vertices, indices, 11, 0, -0.9f, 1, -0.2f,
            [](float u, float v) { return std::vector<float>{0, 0, -1, u, v, 0, 0, 1}; });
    const auto picture = Draw(const_cast<gfx::Shader&>(mirror),
                              Object(vertices, 11,
                                     {{0, DeclType::Float3, DeclUsage::Position, 0},
                                      {12, DeclType::Float3, DeclUsage::Normal, 0},
                                      {24, DeclType::Float2, DeclUsage::TexCoord, 0},
                                      {32, DeclType::Float3, DeclUsage::Tangent, 0}},
                                     indices),
                              kClear);
    EXPECT_EQ(At(picture, 16, 16), 0xFF400000u);    // where the sand stands: nothing
    EXPECT_GT(Channels(At(picture, 16, 48)).r, 60); // its image below the water
    EXPECT_EQ(At(picture, 48, 48), 0xFF400000u);    // rock under water: not drawn
    EXPECT_EQ(At(picture, 48, 16), 0xFF400000u);    // nor mirrored above it
}

// The generated leaf mesh carries both faces of every card, so the effect
// culls the one turned away instead of drawing each pixel twice.
TEST_F(ShowLooks, LeavesAreCutByTheirAlphaAndDrawnFromTheFaceTurnedToTheCamera) {
    const auto leaf = gfx::EffectPool::Get()->GenerateEffect("data/leaf.efx");
    // Left texel column transparent, right one opaque green.
    Paint(L"data/textures/leaf.dds", 0x0000FF00, 0xFF00FF00, 0x0000FF00, 0xFF00FF00);
    std::vector<float> vertices;
    std::vector<std::uint16_t> indices;
    const auto uv = [](float u, float v) { return std::vector<float>{u, v}; };
    AddQuad(vertices, indices, 5, -1, 0, 1, 1, uv);
    AddQuad(vertices, indices, 5, -1, -1, 1, 0, uv);
    // The lower card turned around: its triangles wind the other way.
    std::swap(indices[7], indices[8]);
    std::swap(indices[10], indices[11]);
    const auto picture = Draw(*leaf->Shaders().at(0),
                              Object(vertices, 5,
                                     {{0, DeclType::Float3, DeclUsage::Position, 0},
                                      {12, DeclType::Float2, DeclUsage::TexCoord, 0}},
                                     indices),
                              kClear);
    EXPECT_EQ(At(picture, 6, 16), 0xFF400000u);
    const auto opaque = Channels(At(picture, 58, 16));
    EXPECT_GT(opaque.g, 40);
    EXPECT_EQ(opaque.r, 0);
    EXPECT_EQ(At(picture, 58, 48), 0xFF400000u); // the turned card: culled
}

TEST_F(ShowLooks, WaterShowsTheReflectionTargetAtItsPlaceOnTheScreen) {
    const auto water = gfx::EffectPool::Get()->GenerateEffect("data/tree.demo_scene/water.kvr.efx");
    // The reflection: red in its upper half, blue in its lower half; the
    // waves flat.
    Paint(L"waterReflect256", 0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFF0000FF);
    Paint(L"data/textures/waterNormals.dds", 0xFF8080FF, 0xFF8080FF, 0xFF8080FF, 0xFF8080FF);
    std::vector<float> vertices;
    std::vector<std::uint16_t> indices;
    AddQuad(vertices, indices, 3, -1, -1, 1, 1, [](float, float) { return std::vector<float>{}; });
    const auto picture =
        Draw(*water->Shaders().at(0),
             Object(vertices, 3, {{0, DeclType::Float3, DeclUsage::Position, 0}}, indices), kClear);
    const auto top = Channels(At(picture, 32, 6));
    const auto bottom = Channels(At(picture, 32, 58));
    // Seen edge-on at the top (all reflection), steeply below (less of it).
    EXPECT_GT(top.r, 200);
    EXPECT_LT(top.b, 40);
    EXPECT_GT(bottom.b, 60);
    EXPECT_LT(bottom.r, 30);
}

TEST_F(ShowLooks, GlowKeepsOnlyTheBrightPartsOfTheScene) {
    const auto chain = gfx::EffectPool::Get()->GenerateMaterialEffect("data/fx/glowChain.efx");
    const auto& bright = *chain->Shaders().at(0);
    ASSERT_EQ(bright.Description().technique, "Bright");
    ASSERT_EQ(bright.Description().colorTarget, "gaussGlow");
    Paint(L"Framebuffer", 0xFFFFFFFF, 0xFF909090, 0xFF909090, 0xFFFF0000);
    std::vector<float> vertices;
    std::vector<std::uint16_t> indices;
    AddQuad(vertices, indices, 5, -1, -1, 1, 1, [](float u, float v) {
        return std::vector<float>{u, v};
    });
    const auto picture = Draw(const_cast<gfx::Shader&>(bright),
                              Object(vertices, 5,
                                     {{0, DeclType::Float3, DeclUsage::Position, 0},
                                      {12, DeclType::Float2, DeclUsage::TexCoord, 0}},
                                     indices),
                              kClear);
    // A strong colour glows fully, white about a third, grey not at all.
    const auto red = Channels(At(picture, 60, 60));
    EXPECT_EQ(red.r, 255);
    EXPECT_EQ(red.g, 0);
    const auto white = Channels(At(picture, 4, 4));
    EXPECT_NEAR(white.r, 0.35 * 255, 6);
    EXPECT_EQ(white.r, white.b);
    EXPECT_EQ(At(picture, 4, 60), 0xFF000000u);
}

} // namespace
