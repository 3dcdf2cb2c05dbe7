// A screen-quad pass on the machine's OpenGL: a technique annotated with a
// quad material makes the renderer draw the engine's "data/quad.kvr" with
// that material after the technique's own objects, also where an earlier
// run left a damaged quad file behind.
#include "support/logCapture.h"

#include "engine/core/Window.h"
#include "engine/core/input.h"
#include "engine/core/kernel.h"
#include "engine/core/resourceManager.h"
#include "engine/core/screen.h"
#include "engine/core/stringConversion.h"
#include "engine/core/timer.h"
#include "engine/gfx/KVRMesh.h"
#include "engine/gfx/effect.h"
#include "engine/gfx/effectPool.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/renderer.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/gfx/shader.h"
#include "engine/gfx/spatial.h"

#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using namespace engine;
using kovra::test::LogCapture;

// Black: the scene pass, which asks for the quad. Uv: the quad's material,
// painting its texture coordinates as red and green.
const char* const kQuadEffect = R"(vertexshader plainVS {
    void main() {
        gl_Position = vec4(POSITION.xyz, 1.0);
    }
}

pixelshader blackPS {
    void main() {
        COLOR0 = vec4(0.0, 0.0, 0.0, 1.0);
    }
}

vertexshader uvVS {
    out vec2 uv;
    void main() {
        gl_Position = vec4(POSITION.xyz, 1.0);
        uv = TEXCOORD0.xy;
    }
}

pixelshader uvPS {
    in vec2 uv;
    void main() {
        COLOR0 = vec4(uv, 0.0, 1.0);
    }
}

technique Black < bool quad = true; string material = "uvs"; > {
    pass P0 {
        VertexShader = compile vs_2_0 plainVS();
        PixelShader = compile ps_2_0 blackPS();
    }
}

technique Uv {
    pass P0 {
        VertexShader = compile vs_2_0 uvVS();
        PixelShader = compile ps_2_0 uvPS();
    }
}
)";

class Submitter : public gfx::Spatial {
public:
    Submitter() : Spatial(nullptr) {}
    void Update(gfx::RenderQueue& queue) override { queue.Submit(object); }
    std::shared_ptr<gfx::RenderObject> object;
};

TEST(GlQuadTest, QuadMaterialPaintsTheWholeScreenWithTheQuadsTextureMapping) {
    LogCapture log;
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    core::CScreen screen;
    screen.Create(WindowSettings{});
    core::CWin32Window::Get()->SetClearColor(0xFF0000FF);
    core::Input::Get()->Clear();
    std::filesystem::create_directories("data/fx");
    std::ofstream("data/quad.kvr") << "KOVR";
    std::ofstream("data/fx/quadtest.fx") << kQuadEffect;
    std::ofstream("data/fx/uvs.efx") << R"(effect = { { priority = 1, pass = { { priority = 7, )"
                                        R"(fx = "quadtest", tec = "Uv", params = {}, )"
                                        R"(streams = { "pos", "tex" } } } } })";
    auto renderer = std::make_unique<gfx::Renderer>();
    renderer->Start();
    {
        gfx::PassDescription pass;
        pass.priority = 1;
        pass.effectFile = "quadtest.fx";
        pass.technique = "Black";
        auto effect = std::make_shared<gfx::Effect>();
        effect->AddShader(std::make_shared<gfx::Shader>(pass, "data/fx/quadtest.fx"));
        effect->Bind();
        // The scene pass draws the quad mesh too, in black.
        auto scene = std::make_shared<Submitter>();
        scene->object = core::ResourceManager::Get()
                            ->Get<gfx::KVRMesh>(core::Widen(gfx::KVRMesh::kQuadPath))
                            ->GetRenderObject();
        scene->object->effect = effect;
        renderer->SetRootNode(scene);
        core::Input::Get()->KeyDown(core::vk::kF11);
        renderer->Update();
    }

    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load("screenshots/screenshot0.png", &width, &height, &channels, 4);
    ASSERT_NE(pixels, nullptr) << log.Rows();
    ASSERT_EQ(width, 1024);
    ASSERT_EQ(height, 768);
    // u runs left to right, v top to bottom, over the whole screen: the
    // quad's corners, triangles and winding (culled the Direct3D way) as
    // the file gives them.
    for (const auto& [x, y] : std::array<std::pair<int, int>, 5>{
             {{2, 2}, {1021, 2}, {2, 765}, {1021, 765}, {512, 384}}}) {
        const stbi_uc* p = pixels + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
        EXPECT_NEAR(p[0], 255.0 * (x + 0.5) / width, 1.5) << x << "," << y;
        EXPECT_NEAR(p[1], 255.0 * (y + 0.5) / height, 1.5) << x << "," << y;
        EXPECT_EQ(p[2], 0) << x << "," << y;
    }
    stbi_image_free(pixels);

    renderer.reset();
    delete gfx::EffectPool::mInstance;
    delete core::ResourceManager::mInstance;
    screen.Kill();
    delete core::CWin32Window::mInstance;
    delete core::Timer::mInstance;
    delete core::Kernel::mInstance;
    delete core::Input::mInstance;
    delete gfx::SceneInfo::mInstance;
}

} // namespace
