#include "effects-runtime/runtimeFixture.h"
#include "engine/core/exception.h"
#include "engine/core/stringConversion.h"
#include "engine/platform/glDevice.h"
#include "engine/platform/sdlWindow.h"

#include <gtest/gtest.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include <cstdlib>
#include <cstring>

using namespace engine;
using kovra::test::RuntimeFixture;

namespace {

constexpr int kSize = 64;

std::unique_ptr<platform::SdlWindow> OffscreenWindow() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    return std::make_unique<platform::SdlWindow>(
        platform::WindowDescription{L"effects test", kSize, kSize});
}

const char* const kTexturedFx = R"(float4x4 wvp : WorldViewProjection;
float4 tint = {1, 1, 1, 1};
texture image;
sampler2D imageSampler = sampler_state { Texture = <image>; };
vertexshader vs {
    out vec2 uv;
    void main() {
        gl_Position = POSITION * wvp;
        uv = TEXCOORD0.xy;
    }
}
pixelshader ps {
    in vec2 uv;
    void main() { COLOR0 = texture(imageSampler, uv) * tint; }
}
technique T { pass { VertexShader = compile vs_2_0 vs(); PixelShader = compile ps_2_0 ps(); CullMode = None; } }
)";

const char* const kTexturedEfx = R"(effect = { { pass = { { fx = "textured", tec = "T",
    params = { { "float4", "tint", { 0, 1, 1, 1 } }, { "tex", "image", "data/yellow.dds" } },
    streams = { "pos", "tex" } } } } })";

class GlEffectTest : public ::testing::Test {
protected:
    ~GlEffectTest() override {
        mEffect.reset();
        mBuffers.clear();
    }

    std::unique_ptr<platform::SdlWindow> mWindow = OffscreenWindow();
    std::unique_ptr<platform::GlDevice> mDevice = platform::GlDevice::Create(mWindow->Handle(), {});
    RuntimeFixture mRuntime{mDevice.get()};
    std::shared_ptr<gfx::Effect> mEffect;
    std::vector<std::shared_ptr<void>> mBuffers;
};

TEST_F(GlEffectTest, EveryShippedEffectFileCompiles) {
    int files = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(KOVRA_SOURCE_DIR) / "data/fx")) {
        if (entry.path().extension() != ".fx")
            continue;
        ++files;
        const std::wstring name = core::Widen(entry.path().string());
        std::shared_ptr<core::resources::FXEffect> effect;
        EXPECT_NO_THROW(effect = core::ResourceManager::Get()->Get<core::resources::FXEffect>(name))
            << entry.path() << "\n"
            << ::testing::PrintToString(mRuntime.TakeLog());
        if (!effect)
            continue;
        for (int t = 0; t < effect->Handle()->TechniqueCount(); ++t) {
            EXPECT_TRUE(effect->Handle()->ValidateTechnique(effect->Handle()->GetTechnique(t)))
                << entry.path();
        }
    }
    EXPECT_GE(files, 1);
}

TEST_F(GlEffectTest, CompileErrorsNameTheEffectFileLine) {
    RuntimeFixture::Write("data/fx/bad.fx", R"(float4x4 wvp;
vertexshader vs {
    void main() {
        gl_Position = POSITION * undefinedMatrix;
    }
}
technique T { pass { VertexShader = compile vs_2_0 vs(); } }
)");
    mRuntime.TakeLog();
    EXPECT_THROW(core::ResourceManager::Get()->Get<core::resources::FXEffect>(L"data/fx/bad.fx"),
                 core::Exception);
    const auto log = mRuntime.TakeLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_TRUE(log[1].starts_with("WARNING|.\\resourceTypes.cpp|data/fx/bad.fx(4): ")) << log[1];
    EXPECT_NE(log[1].find("undefinedMatrix"), std::string::npos) << log[1];
}

TEST_F(GlEffectTest, TriangleDrawnThroughSemanticScriptValueAndTexture) {
    RuntimeFixture::Write("data/fx/textured.fx", kTexturedFx);
    RuntimeFixture::Write("data/textured.efx", kTexturedEfx);
    mEffect = gfx::EffectPool::Get()->GenerateEffect("data/textured.efx");
    ASSERT_EQ(mEffect->Shaders().at(0)->Description().technique, "T");

    // The script's texture: 2x2 yellow (A8R8G8B8 words).
    auto texture = core::ResourceManager::Get()->Get<kovra::test::FakeTexture>(L"data/yellow.dds");
    ASSERT_NE(texture->Texture(), nullptr);
    const platform::LockedRect rect = texture->Texture()->Lock(0);
    ASSERT_NE(rect.bits, nullptr);
    for (int y = 0; y < 2; ++y) {
        const std::uint32_t yellow[2] = {0xFFFFFF00, 0xFFFFFF00};
        std::memcpy(static_cast<char*>(rect.bits) + y * rect.pitch, yellow, sizeof(yellow));
    }
    ASSERT_EQ(texture->Texture()->Unlock(0), platform::Result::Ok);

    // A triangle in the top-left quadrant that the world matrix moves right.
    const float vertices[] = {-0.9f, 0.9f, 0.5f,  0,    0,    -0.1f, 0.9f, 0.5f,
                              1,     0,    -0.9f, 0.1f, 0.5f, 0,     1};
    const std::uint16_t indices[] = {0, 1, 2};
    auto vertexBuffer =
        mDevice->CreateVertexBuffer(sizeof(vertices), platform::BufferUsage::Static);
    std::memcpy(vertexBuffer->Lock(0, 0, platform::LockNone), vertices, sizeof(vertices));
    ASSERT_EQ(vertexBuffer->Unlock(), platform::Result::Ok);
    auto indexBuffer = mDevice->CreateIndexBuffer(sizeof(indices), platform::IndexFormat::Index16,
                                                  platform::BufferUsage::Static);
    std::memcpy(indexBuffer->Lock(0, 0, platform::LockNone), indices, sizeof(indices));
    ASSERT_EQ(indexBuffer->Unlock(), platform::Result::Ok);
    const platform::VertexElement elements[] = {
        {0, platform::DeclType::Float3, platform::DeclUsage::Position, 0},
        {12, platform::DeclType::Float2, platform::DeclUsage::TexCoord, 0}};
    auto declaration = mDevice->CreateVertexDeclaration(elements);

    gfx::RenderObject object;
    object.vertexBuffer = vertexBuffer.get();
    object.indexBuffer = indexBuffer.get();
    object.vertexDeclaration = declaration.get();
    object.vertexCount = 3;
    object.primitiveCount = 1;
    object.vertexSize = 20;
    object.world.m[12] = 1.0f;
    mDevice->SetTransform(platform::TransformState::View, math::Matrix4x4::Identity);
    mDevice->SetTransform(platform::TransformState::Projection, math::Matrix4x4::Identity);

    ASSERT_EQ(mDevice->BeginScene(), platform::Result::Ok);
    ASSERT_EQ(mDevice->Clear(platform::ClearTarget | platform::ClearZBuffer, 0xFF000000, 1.0f, 0),
              platform::Result::Ok);
    const auto& shader = mEffect->Shaders()[0];
    ASSERT_EQ(shader->BeginPass(0), 1);
    shader->Render(object);
    shader->EndPass();
    ASSERT_EQ(mDevice->EndScene(), platform::Result::Ok);

    const std::string path = (mRuntime.log.Dir().Path() / "shot.png").string();
    ASSERT_EQ(mDevice->SaveSurfaceToPng(mDevice->GetBackBuffer(), path), platform::Result::Ok);
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 4);
    ASSERT_NE(pixels, nullptr);
    std::vector<std::uint32_t> shot(static_cast<std::size_t>(width) * height);
    std::memcpy(shot.data(), pixels, shot.size() * 4);
    stbi_image_free(pixels);
    auto at = [&](int x, int y) { return shot.at(static_cast<std::size_t>(y) * width + x); };
    constexpr std::uint32_t kGreen = 0xFF00FF00,
                            kBlack = 0xFF000000;              // RGBA bytes, little-endian word
    EXPECT_EQ(at(width / 2 + width / 8, height / 8), kGreen); // yellow x cyan tint
    EXPECT_EQ(at(width / 8, height / 8), kBlack);             // moved away by the world matrix
    EXPECT_EQ(at(width - 2, height - 2), kBlack);
}

} // namespace
