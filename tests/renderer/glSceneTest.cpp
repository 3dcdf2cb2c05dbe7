// The whole drawing path on the machine's OpenGL: an effect script and its
// effect file from the data folder, a mesh made through CreateMesh, the scene
// graph under the renderer's camera, the per-object semantics, and F11.
#include "support/engineSingletons.h"
#include "support/logCapture.h"

#include "engine/core/Window.h"
#include "engine/core/input.h"
#include "engine/core/kernel.h"
#include "engine/core/resourceManager.h"
#include "engine/core/screen.h"
#include "engine/gfx/effectPool.h"
#include "engine/gfx/mesh.h"
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
#include <map>

namespace {

using namespace engine;

const char* const kLitEffect = R"(float4x4 wvp : WorldViewProjection;
float4x4 world : World;
float4 tint;

vertexshader litVS {
    out vec3 normal;
    void main() {
        gl_Position = POSITION * wvp;
        normal = (vec4(NORMAL.xyz, 0.0) * world).xyz;
    }
}

pixelshader litPS {
    in vec3 normal;
    void main() {
        float diffuse = max(dot(normalize(normal), vec3(0.0, 0.0, -1.0)), 0.0);
        COLOR0 = vec4(tint.rgb * diffuse, 1.0);
    }
}

technique Lit {
    pass P0 {
        VertexShader = compile vs_2_0 litVS();
        PixelShader = compile ps_2_0 litPS();
    }
}
)";

const char* const kLitScript = R"(effect = {
  { priority = 1, pass = { { fx = "lit", tec = "Lit",
      params = { { "float4", "tint", { 1, 0.5, 0, 1 } } },
      streams = { "pos", "normal" } } } },
}
)";

std::array<int, 4> Pixel(const stbi_uc* pixels, int width, int x, int y) {
    const stbi_uc* p = pixels + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
    return {p[0], p[1], p[2], p[3]};
}

TEST(GlScene, MeshThroughScriptEffectAndRendererReachesTheScreenshot) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    kovra::test::LogCapture log;
    std::filesystem::create_directories("data/fx");
    std::ofstream("data/fx/lit.fx") << kLitEffect;
    std::ofstream("data/lit.efx") << kLitScript;
    {
        core::CScreen screen;
        screen.Create(WindowSettings{});
        core::CWin32Window::Get()->SetClearColor(0xFF000040);
        core::Input::Get()->Clear();
        gfx::Renderer renderer;
        renderer.Start();

        // A square of half-width 1 at z = 4 facing the camera, clockwise as
        // seen from it.
        float positions[] = {-1, -1, 4, -1, 1, 4, 1, 1, 4, 1, -1, 4};
        float normals[] = {0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1};
        int indices[] = {0, 1, 2, 0, 2, 3};
        std::map<gfx::MeshData::DataTypes, void*> streams = {{gfx::MeshData::Position, positions},
                                                             {gfx::MeshData::Normal, normals}};
        auto mesh = CreateMesh(streams, indices, 4, 6, 4, BuildEffect("data/lit.efx"));
        ASSERT_NE(mesh, nullptr) << log.Rows();
        auto node = CreateMeshNode(mesh);
        // Moved up by 0.5 through the node: the world matrix reaches the shader.
        gfx::Transformation moved;
        moved.Translate(math::Vector3f(0.0f, 0.5f, 0.0f));
        node->Local(moved);
        renderer.SetRootNode(node);
        core::Input::Get()->KeyDown(core::vk::kF11);
        renderer.Update();
        core::Input::Get()->EndPass();

        int width = 0, height = 0, channels = 0;
        stbi_uc* pixels = stbi_load("screenshots/screenshot0.png", &width, &height, &channels, 4);
        ASSERT_NE(pixels, nullptr) << log.Rows();
        ASSERT_EQ(width, 1024);
        ASSERT_EQ(height, 768);
        // Projection: fov pi/4, aspect 4/3. At z = 4 the square spans
        // x in [-1, 1] -> 1 / (4 * tan(pi/8) * 4/3) = 0.453 of the half-width
        // and y in [-0.5, 1.5] -> [-0.302, 0.905] of the half-height: rows 36 to 500.
        const std::array<int, 4> lit{255, 128, 0, 255};
        const std::array<int, 4> clear{0, 0, 64, 255};
        EXPECT_EQ(Pixel(pixels, width, 512, 300), lit);   // centre, raised
        EXPECT_EQ(Pixel(pixels, width, 512, 20), clear);  // above the square
        EXPECT_EQ(Pixel(pixels, width, 512, 520), clear); // below: moved up
        EXPECT_EQ(Pixel(pixels, width, 512 - 220, 300), lit);
        EXPECT_EQ(Pixel(pixels, width, 512 - 245, 300), clear);
        stbi_image_free(pixels);

        renderer.Kill();
        screen.Kill();
    }
    kovra::test::DeleteEngineSingletons();
}

} // namespace
