// An emitter drawn by the machine's OpenGL through an additive effect: the
// billboards face the camera, overlapping particles add up, and the corner
// coordinates run across each quad.
#include "support/logCapture.h"

#include "engine/core/Window.h"
#include "engine/core/input.h"
#include "engine/core/kernel.h"
#include "engine/core/resourceManager.h"
#include "engine/core/screen.h"
#include "engine/core/timer.h"
#include "engine/gfx/effectPool.h"
#include "engine/gfx/emitterInfo.h"
#include "engine/gfx/node.h"
#include "engine/gfx/renderer.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/wrapper/wrapper.h"

#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using namespace engine;

const char* const kAdditiveEffect = R"(float4x4 wvp : WorldViewProjection;

vertexshader particleVS {
    out vec4 colour;
    out vec2 corner;
    void main() {
        gl_Position = POSITION * wvp;
        colour = TEXCOORD1;
        corner = TEXCOORD0.xy;
    }
}

pixelshader particlePS {
    in vec4 colour;
    in vec2 corner;
    void main() {
        COLOR0 = vec4(colour.r, corner.x * 0.5, corner.y * 0.5, 1.0);
    }
}

technique Additive {
    pass P0 {
        VertexShader = compile vs_2_0 particleVS();
        PixelShader = compile ps_2_0 particlePS();
        ZWriteEnable = false;
        AlphaBlendEnable = true;
        SrcBlend = One;
        DestBlend = One;
    }
}
)";

const char* const kAdditiveScript = R"(effect = {
  { priority = 1, pass = { { fx = "particle", tec = "Additive", params = {}, streams = { "pos" } } } },
}
)";

std::array<int, 3> Pixel(const stbi_uc* pixels, int width, int x, int y) {
    const stbi_uc* p = pixels + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
    return {p[0], p[1], p[2]};
}

void ExpectPixelNear(const stbi_uc* pixels, int width, int x, int y, std::array<int, 3> expected) {
    const auto actual = Pixel(pixels, width, x, y);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(actual[c], expected[c], 3) << "pixel " << x << ", " << y << " channel " << c;
}

TEST(GlEmitter, TwoParticlesAddUpOnAViewerFacingQuad) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    kovra::test::LogCapture log;
    std::filesystem::create_directories("data/fx");
    std::ofstream("data/fx/particle.fx") << kAdditiveEffect;
    std::ofstream("data/particle.efx") << kAdditiveScript;
    {
        core::CScreen screen;
        screen.Create(WindowSettings{});
        core::CWin32Window::Get()->SetClearColor(0xFF000000);
        core::Input::Get()->Clear();
        gfx::Renderer renderer;
        renderer.Start();

        // root -> node at z = 5 -> emitter: two still particles of edge 2
        // where the node is, each with red 0.2.
        auto root = CreateNode(nullptr);
        auto node = CreateNode(root.get());
        root->AddChild(node);
        gfx::Transformation placed;
        placed.Translate(math::Vector3f(0.0f, 0.0f, 5.0f));
        node->Local(placed);
        gfx::EmitterInfo info;
        info.velocity = math::Vector3f(0, 0, 0);
        info.color = math::Vector4f(0.2f, 0, 0, 1);
        info.size = 2.0f;
        info.capacity = 4;
        info.initialCount = 2;
        info.interval = 0.0f;
        info.effect = BuildEffect("data/particle.efx");
        ASSERT_NE(info.effect, nullptr) << log.Rows();
        AddParticleEmitter(node.get(), info);
        renderer.SetRootNode(root);

        core::Input::Get()->KeyDown(core::vk::kF11);
        renderer.Update();
        core::Input::Get()->EndPass();

        int width = 0, height = 0, channels = 0;
        stbi_uc* pixels = stbi_load("screenshots/screenshot0.png", &width, &height, &channels, 4);
        ASSERT_NE(pixels, nullptr) << log.Rows();
        ASSERT_EQ(width, 1024);
        ASSERT_EQ(height, 768);
        // Projection: fov pi/4, aspect 4/3. The quad spans x and y in
        // [-1, 1] at z = 5: 1 / (5 tan(pi/8) 4/3) = 0.362 of the half-width
        // (185 pixels) and 1 / (5 tan(pi/8)) = 0.483 of the half-height
        // (185 pixels) around the centre (512, 384).
        // Red adds up to 0.4 (102); green follows u from the left edge (0) to
        // the right (2 x 0.5), blue follows v from the bottom edge to the top:
        // 150 pixels from the centre they are 0.097 and 0.903 of the way.
        ExpectPixelNear(pixels, width, 512, 384, {102, 128, 127});
        ExpectPixelNear(pixels, width, 512 - 150, 384 + 150, {102, 25, 24});
        ExpectPixelNear(pixels, width, 512 + 150, 384 - 150, {102, 231, 230});
        ExpectPixelNear(pixels, width, 512 - 150, 384 - 150, {102, 25, 230});
        ExpectPixelNear(pixels, width, 512 + 195, 384, {0, 0, 0});
        ExpectPixelNear(pixels, width, 512, 384 - 195, {0, 0, 0});
        stbi_image_free(pixels);

        renderer.Kill();
        screen.Kill();
    }
    delete gfx::EffectPool::mInstance;
    delete core::ResourceManager::mInstance;
    delete core::CWin32Window::mInstance;
    delete core::Input::mInstance;
    delete core::Timer::mInstance;
    delete gfx::SceneInfo::mInstance;
    delete core::Kernel::mInstance;
}

} // namespace
