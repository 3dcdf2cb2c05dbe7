// Emitters drawn by the machine's OpenGL: billboards through an additive
// effect (they face the camera, overlapping particles add up, the corner
// coordinates run across each quad) and a ribbon whose joins close the gap
// between two quads.
#include "support/engineSingletons.h"
#include "support/logCapture.h"

#include "engine/core/Window.h"
#include "engine/core/input.h"
#include "engine/core/kernel.h"
#include "engine/core/resourceManager.h"
#include "engine/core/screen.h"
#include "engine/core/timer.h"
#include "engine/gfx/curveEmitter.h"
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
#include <vector>

namespace {

using namespace engine;

const char* const kEffect = R"(float4x4 wvp : WorldViewProjection;

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

vertexshader ribbonVS {
    out vec4 colour;
    void main() {
        gl_Position = POSITION * wvp;
        colour = TEXCOORD0;
    }
}

pixelshader ribbonPS {
    in vec4 colour;
    void main() {
        COLOR0 = colour;
    }
}

technique Ribbon {
    pass P0 {
        VertexShader = compile vs_2_0 ribbonVS();
        PixelShader = compile ps_2_0 ribbonPS();
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

const char* const kRibbonScript = R"(effect = {
  { priority = 1, pass = { { fx = "particle", tec = "Ribbon", params = {}, streams = { "pos" } } } },
}
)";

// Projection: fov pi/4, aspect 4/3, 1024 x 768. At z = 5 one unit is
// 1 / (5 tan(pi/8)) = 0.483 of the half-height: 185.4 pixels either way.
constexpr float kPixelsPerUnit = 185.4f;

// A window on the real device, a started renderer and a scene of
// root -> node at z = 5, where the emitters go.
class GlEmitterTest : public ::testing::Test {
protected:
    GlEmitterTest() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        std::filesystem::create_directories("data/fx");
        std::ofstream("data/fx/particle.fx") << kEffect;
        std::ofstream("data/additive.efx") << kAdditiveScript;
        std::ofstream("data/ribbon.efx") << kRibbonScript;
        screen.Create(WindowSettings{});
        core::CWin32Window::Get()->SetClearColor(0xFF000000);
        core::Input::Get()->Clear();
        renderer = std::make_unique<gfx::Renderer>();
        renderer->Start();
        root->AddChild(node);
        renderer->SetRootNode(root);
    }

    ~GlEmitterTest() override {
        root.reset();
        node.reset();
        renderer->Kill();
        renderer.reset();
        screen.Kill();
        kovra::test::DeleteEngineSingletons();
    }

    void Place(float x, float y, float z,
               const math::Matrix3x3& rotation = {1, 0, 0, 0, 1, 0, 0, 0, 1}) {
        gfx::Transformation placed;
        placed.Rotate(rotation);
        placed.Translate(math::Vector3f(x, y, z));
        node->Local(placed);
    }

    // Draws one frame, saves it with F11 and reads it back, RGB.
    std::vector<std::array<int, 3>> Frame() {
        core::Input::Get()->KeyDown(core::vk::kF11);
        renderer->Update();
        core::Input::Get()->EndPass();
        core::Input::Get()->KeyUp(core::vk::kF11); // so that the next frame presses it again
        core::Input::Get()->EndPass();
        int channels = 0;
        stbi_uc* pixels =
            stbi_load(("screenshots/screenshot" + std::to_string(shots++) + ".png").c_str(), &width,
                      &height, &channels, 3);
        std::vector<std::array<int, 3>> rgb;
        if (!pixels)
            return rgb;
        for (int i = 0; i < width * height; ++i)
            rgb.push_back({pixels[3 * i], pixels[3 * i + 1], pixels[3 * i + 2]});
        stbi_image_free(pixels);
        return rgb;
    }

    // The pixel at (x, y) units from the centre of the plane z = 5, y up.
    void ExpectAt(const std::vector<std::array<int, 3>>& frame, float x, float y,
                  std::array<int, 3> expected) {
        const int px = static_cast<int>(512.0f + x * kPixelsPerUnit);
        const int py = static_cast<int>(384.0f - y * kPixelsPerUnit);
        const auto actual = frame[static_cast<std::size_t>(py * width + px)];
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(actual[c], expected[c], 3)
                << "at " << x << ", " << y << " (pixel " << px << ", " << py << ") channel " << c;
    }

    kovra::test::LogCapture log;
    core::CScreen screen;
    std::unique_ptr<gfx::Renderer> renderer;
    std::shared_ptr<gfx::Node> root = CreateNode(nullptr);
    std::shared_ptr<gfx::Node> node = CreateNode(root.get());
    int width = 0;
    int height = 0;
    int shots = 0;
};

TEST_F(GlEmitterTest, TwoParticlesAddUpOnAViewerFacingQuad) {
    // Two still particles of edge 2 where the node is, each with red 0.2.
    Place(0, 0, 5);
    gfx::EmitterInfo info;
    info.velocity = math::Vector3f(0, 0, 0);
    info.color = math::Vector4f(0.2f, 0, 0, 1);
    info.size = 2.0f;
    info.capacity = 4;
    info.initialCount = 2;
    info.interval = 0.0f;
    info.effect = BuildEffect("data/additive.efx");
    ASSERT_NE(info.effect, nullptr) << log.Rows();
    AddParticleEmitter(node.get(), info);

    const auto frame = Frame();
    ASSERT_EQ(frame.size(), 1024u * 768u) << log.Rows();
    // Red adds up to 0.4 (102); green follows u from the left edge (0) to
    // the right (2 x 0.5), blue follows v from the bottom edge to the top.
    ExpectAt(frame, 0.0f, 0.0f, {102, 128, 128});
    ExpectAt(frame, -0.8f, -0.8f, {102, 25, 25});
    ExpectAt(frame, 0.8f, 0.8f, {102, 230, 230});
    ExpectAt(frame, -0.8f, 0.8f, {102, 25, 230});
    ExpectAt(frame, 1.1f, 0.0f, {0, 0, 0});
    ExpectAt(frame, 0.0f, 1.1f, {0, 0, 0});
}

// The node stands its XZ plane up to face the camera (z becomes up). One
// quad is born at x = -1, the next at x = 1; the joins fill the gap.
TEST_F(GlEmitterTest, RibbonJoinsConsecutiveQuads) {
    const math::Matrix3x3 upright(1, 0, 0, 0, 0, -1, 0, 1, 0);
    Place(-1, 0, 5, upright);
    gfx::EmitterInfo info;
    info.color = math::Vector4f(0.2f, 0.6f, 1.0f, 1);
    info.size = 1.0f;
    info.capacity = 8;
    info.initialCount = 1;
    info.interval = 0.5f;
    info.effect = BuildEffect("data/ribbon.efx");
    ASSERT_NE(info.effect, nullptr) << log.Rows();
    AddCurveEmitter(node.get(), info);
    auto* ribbon = dynamic_cast<gfx::CurveEmitter*>(node->Children().at(0).get());
    ASSERT_NE(ribbon, nullptr);

    const auto single = Frame();
    ASSERT_EQ(single.size(), 1024u * 768u) << log.Rows();
    ExpectAt(single, -1.0f, 0.0f, {51, 153, 255});
    ExpectAt(single, 0.0f, 0.0f, {0, 0, 0});

    Place(1, 0, 5, upright);
    ribbon->Advance(0.5f);
    const auto joined = Frame();
    ASSERT_EQ(joined.size(), 1024u * 768u) << log.Rows();
    for (const float x : {-1.2f, -0.8f, -0.3f, 0.0f, 0.3f, 0.8f, 1.2f})
        ExpectAt(joined, x, 0.3f, {51, 153, 255});
    ExpectAt(joined, 0.0f, 0.7f, {0, 0, 0});
    ExpectAt(joined, -1.7f, 0.0f, {0, 0, 0});
    ExpectAt(joined, 1.7f, 0.0f, {0, 0, 0});
}

} // namespace
