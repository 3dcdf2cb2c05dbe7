// A whole scene file on the machine's OpenGL: two cameras, a lamp, a skinned
// mesh and an emitter, drawn into a render target and put on the screen by
// a screen-quad post pass that swaps the colour channels.
#include "support/demoBytes.h"
#include "support/engineFiles.h"
#include "support/engineSingletons.h"
#include "support/logCapture.h"

#include "engine/core/Window.h"
#include "engine/core/input.h"
#include "engine/core/kernel.h"
#include "engine/core/resourceManager.h"
#include "engine/core/screen.h"
#include "engine/core/timer.h"
#include "engine/gfx/animationCamera.h"
#include "engine/gfx/demoLoader.h"
#include "engine/gfx/effectPool.h"
#include "engine/gfx/emitterInfo.h"
#include "engine/gfx/node.h"
#include "engine/gfx/renderer.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/wrapper/wrapper.h"

#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace engine;
using kovra::test::DemoBytes;
using kovra::test::KvrFile;

// Scene: the skinned mesh is yellow while a light is registered (red
// without), the particles blue; both draw into "sceneTarget".
const char* const kSceneEffect = R"(float4x4 wvp : WorldViewProjection;
float4 light : Light0;
float4x4 boneMatrices[2];

vertexshader skinVS {
    void main() {
        gl_Position = POSITION * boneMatrices[int(TEXCOORD2.x)] * wvp;
    }
}

pixelshader meshPS {
    void main() {
        COLOR0 = vec4(1.0, light.w, 0.0, 1.0);
    }
}

vertexshader sparkVS {
    void main() {
        gl_Position = POSITION * wvp;
    }
}

pixelshader sparkPS {
    void main() {
        COLOR0 = vec4(0.0, 0.0, 1.0, 1.0);
    }
}

technique Skin < bool quad = true; string material = "post"; > {
    pass P0 {
        VertexShader = compile vs_2_0 skinVS();
        PixelShader = compile ps_2_0 meshPS();
        CullMode = None;
    }
}

technique Bare {
    pass P0 {
        VertexShader = compile vs_2_0 skinVS();
        PixelShader = compile ps_2_0 meshPS();
        CullMode = None;
    }
}

technique Spark {
    pass P0 {
        VertexShader = compile vs_2_0 sparkVS();
        PixelShader = compile ps_2_0 sparkPS();
        CullMode = None;
    }
}
)";

// Post pass: the target's (r, g, b) on the screen as (b, r, g).
const char* const kPostEffect = R"(texture sceneMap;

sampler2D sceneSampler = sampler_state {
    Texture = <sceneMap>;
    MinFilter = Point;
    MagFilter = Point;
    AddressU = Clamp;
    AddressV = Clamp;
};

vertexshader quadVS {
    out vec2 uv;
    void main() {
        gl_Position = vec4(POSITION.xyz, 1.0);
        uv = TEXCOORD0.xy;
    }
}

pixelshader swapPS {
    in vec2 uv;
    void main() {
        vec4 c = texture(sceneSampler, uv);
        COLOR0 = vec4(c.b, c.r, c.g, 1.0);
    }
}

technique Swap {
    pass P0 {
        VertexShader = compile vs_2_0 quadVS();
        PixelShader = compile ps_2_0 swapPS();
        ZEnable = false;
    }
}
)";

std::string Script(const std::string& fx, const std::string& technique, int priority,
                   const std::string& target, const std::string& params,
                   const std::string& streams) {
    return "effect = { { priority = 1, pass = { { priority = " + std::to_string(priority) +
           ", fx = \"" + fx + "\", tec = \"" + technique + "\"" +
           (target.empty() ? "" : ", rtt_stex = \"" + target + "\"") + ", params = { " + params +
           " }, streams = { " + streams + " } } } } }";
}

void Write(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A square of edge 2 in the z = 0 plane, every vertex on the one bone.
std::string SkinnedSquare() {
    KvrFile file;
    file.Positions({{-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}});
    file.Skeleton({{"root", ""}}, {{{"root", 1}}, {{"root", 1}}, {{"root", 1}}, {{"root", 1}}});
    file.Indices({0, 1, 2, 0, 2, 3});
    return file.End().bytes;
}

// Front looks along +z from z = -10; side along -x from x = 10, where it sees
// the square edge-on. The sparks float 2.5 above the square.
std::string SceneFile() {
    DemoBytes file;
    file.Header(5);
    file.Object("Camera", "front", "", "", 0, 0, -10, 0, 0, 0, 0);
    file.Object("Camera", "side", "", "", 10, 0, 0, 0, -1.5707964f, 0, 0);
    file.Object("Lamp", "sun", "", "", 0, 5, -5, 0, 0, 0, 0);
    file.Object("Mesh", "beast", "beast", "", 0, 0, 0, 0, 0, 0, 0);
    file.Object("Empty", "sparks", "", "", 0, 2.5f, 0, 0, 0, 0, 0);
    return file.bytes;
}

struct Picture {
    explicit Picture(const std::string& path) {
        pixels = stbi_load(path.c_str(), &width, &height, &channels, 4);
    }
    ~Picture() { stbi_image_free(pixels); }
    std::array<int, 3> At(int x, int y) const {
        const stbi_uc* p = pixels + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
        return {p[0], p[1], p[2]};
    }
    stbi_uc* pixels = nullptr;
    int width = 0, height = 0, channels = 0;
};

using Rgb = std::array<int, 3>;

TEST(GlDemoScene, CamerasOfTheSceneFileSeeItThroughThePostPass) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    kovra::test::LogCapture log;
    Write("data/fx/scene.fx", kSceneEffect);
    Write("data/fx/post.fx", kPostEffect);
    Write("data/fx/post.efx",
          Script("post", "Swap", 7, "", "{ \"target\", \"sceneMap\", \"sceneTarget\" }",
                 "\"pos\", \"tex\""));
    Write("data/sparks.efx", Script("scene", "Spark", 1, "sceneTarget", "", "\"pos\""));
    Write("data/demo.demo_scene/beast.kvr", SkinnedSquare());
    // The skeleton's pose: the bone at rest, so the skin matrix is identity.
    kovra::test::AnimFile anim;
    anim.U32(1);
    anim.Rest("root", {0, 0, 0}, 1, 0, 0, 0).U32(0);
    Write("data/demo.demo_scene/beast.anim", anim.bytes);
    Write("data/demo.demo_scene/beast.kvr.efx",
          Script("scene", "Skin", 1, "sceneTarget", "", "\"pos\", \"bone\""));
    Write("data/demo.demo", SceneFile());
    {
        core::CScreen screen;
        screen.Create(WindowSettings{});
        core::CWin32Window::Get()->SetClearColor(0xFF000000);
        core::Input::Get()->Clear();
        CreateRenderTarget(L"sceneTarget", 1024);
        gfx::Renderer renderer;
        renderer.Start();

        gfx::DemoLoader* loader = gfx::DemoLoader::CreateInstance(L"data/demo.demo");
        gfx::EmitterInfo info;
        info.velocity = math::Vector3f(0, 0, 0);
        info.size = 1.0f;
        info.capacity = 1;
        info.initialCount = 1;
        info.interval = 0.0f;
        info.effect = BuildEffect("data/sparks.efx");
        AddParticleEmitter(loader->GetNode("sparks").get(), info);
        renderer.SetRootNode(loader->GetBaseNode());
        std::shared_ptr<gfx::AnimationCamera> cameras = loader->GetCameras();
        loader->DestroyInstance();

        auto frame = [&] {
            core::Input::Get()->KeyDown(core::vk::kF11);
            renderer.Update();
            gfx::SceneInfo::Get()->Update();
            core::Input::Get()->EndPass();
            core::Input::Get()->KeyUp(core::vk::kF11);
            core::Input::Get()->EndPass();
        };
        frame();
        cameras->ActiveCamera("side");
        frame();

        const Picture front("screenshots/screenshot0.png");
        const Picture side("screenshots/screenshot1.png");
        ASSERT_NE(front.pixels, nullptr) << log.Rows();
        ASSERT_NE(side.pixels, nullptr) << log.Rows();
        ASSERT_EQ(front.width, 1024);
        ASSERT_EQ(front.height, 768);
        // Projection: fov pi/4, aspect 4/3; at distance 10 one unit is 93
        // pixels. Yellow (lit) square in the middle turns cyan; the blue
        // sparks 2.5 up (232 pixels) turn red; black stays black.
        EXPECT_EQ(front.At(512, 384), (Rgb{0, 255, 255}));
        EXPECT_EQ(front.At(512 + 60, 384 - 60), (Rgb{0, 255, 255}));
        EXPECT_EQ(front.At(512 + 130, 384), (Rgb{0, 0, 0}));
        EXPECT_EQ(front.At(512, 384 - 232), (Rgb{255, 0, 0}));
        // From the side the square is edge-on: gone; the sparks face every
        // camera.
        EXPECT_EQ(side.At(512, 384 + 60), (Rgb{0, 0, 0}));
        EXPECT_EQ(side.At(512 + 60, 384 - 60), (Rgb{0, 0, 0}));
        EXPECT_EQ(side.At(512, 384 - 232), (Rgb{255, 0, 0}));

        renderer.Kill();
        screen.Kill();
    }
    kovra::test::DeleteEngineSingletons();
}

// Two bones: "root" at rest, and "arm" (bound at x = 1) turned 90 degrees about
// z and lifted by 1. Its skin matrix M = inverse(bind) * pose takes the arm's
// square, centred at (2, 0, 0), to (2, 0, 0) * M = (1, 2, 0); the root's square
// stays at (-2, 0, 0).
TEST(GlDemoScene, SkinnedVerticesLandWhereTheirBoneMatrixPutsThem) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    kovra::test::LogCapture log;
    Write("data/fx/scene.fx", kSceneEffect);
    KvrFile mesh;
    const float h = 0.3f;
    mesh.Positions({{-2 - h, -h, 0},
                    {-2 - h, h, 0},
                    {-2 + h, h, 0},
                    {-2 + h, -h, 0},
                    {2 - h, -h, 0},
                    {2 - h, h, 0},
                    {2 + h, h, 0},
                    {2 + h, -h, 0}});
    mesh.Skeleton({{"root", ""}, {"arm", "root", {1, 0, 0}}}, {{{"root", 1}},
                                                               {{"root", 1}},
                                                               {{"root", 1}},
                                                               {{"root", 1}},
                                                               {{"arm", 1}},
                                                               {{"arm", 1}},
                                                               {{"arm", 1}},
                                                               {{"arm", 1}}});
    mesh.Indices({0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7});
    Write("data/demo.demo_scene/beast.kvr", mesh.End().bytes);
    // The file stores the conjugate of the rotation the skeleton applies.
    const float half = std::sqrt(0.5f);
    kovra::test::AnimFile anim;
    anim.U32(2);
    anim.Rest("root", {0, 0, 0}, 1, 0, 0, 0);
    anim.Rest("arm", {0, 1, 0}, half, 0, 0, -half).U32(0);
    Write("data/demo.demo_scene/beast.anim", anim.bytes);
    Write("data/demo.demo_scene/beast.kvr.efx",
          Script("scene", "Bare", 1, "", "", "\"pos\", \"bone\""));
    DemoBytes scene;
    scene.Header(2);
    scene.Object("Camera", "front", "", "", 0, 0, -10, 0, 0, 0, 0);
    scene.Object("Mesh", "beast", "beast", "", 0, 0, 0, 0, 0, 0, 0);
    Write("data/demo.demo", scene.bytes);
    {
        core::CScreen screen;
        screen.Create(WindowSettings{});
        core::CWin32Window::Get()->SetClearColor(0xFF000000);
        core::Input::Get()->Clear();
        gfx::Renderer renderer;
        renderer.Start();
        gfx::DemoLoader* loader = gfx::DemoLoader::CreateInstance(L"data/demo.demo");
        renderer.SetRootNode(loader->GetBaseNode());
        loader->DestroyInstance();
        core::Input::Get()->KeyDown(core::vk::kF11);
        renderer.Update();
        gfx::SceneInfo::Get()->Update();
        core::Input::Get()->EndPass();

        const Picture picture("screenshots/screenshot0.png");
        ASSERT_NE(picture.pixels, nullptr) << log.Rows();
        // 93 pixels a unit at distance 10; the unlit mesh is red.
        const Rgb red{255, 0, 0}, black{0, 0, 0};
        for (const auto& [x, y] : {std::pair{326, 384}, {605, 198}, {605 + 20, 198 - 20}})
            EXPECT_EQ(picture.At(x, y), red) << x << ", " << y;
        // Nothing is left where the arm's square lay unskinned.
        EXPECT_EQ(picture.At(698, 384), black);
        renderer.Kill();
        screen.Kill();
    }
    kovra::test::DeleteEngineSingletons();
}

} // namespace
