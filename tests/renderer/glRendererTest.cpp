// The renderer on the machine's OpenGL (Mesa's llvmpipe on SDL's offscreen
// driver): a lit quad drawn into a named colour target, composed on the
// screen by a second pass that samples the target, saved through F11.
#include "support/logCapture.h"

#include "engine/core/Window.h"
#include "engine/core/input.h"
#include "engine/core/kernel.h"
#include "engine/core/resourceManager.h"
#include "engine/core/resourceTypes.h"
#include "engine/core/screen.h"
#include "engine/core/timer.h"
#include "engine/gfx/effect.h"
#include "engine/gfx/effectPool.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/renderer.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/gfx/shader.h"
#include "engine/gfx/spatial.h"
#include "engine/platform/device.h"

#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

using namespace engine;
using kovra::test::LogCapture;

const char* const kComposeEffect = R"(texture sceneMap;
sampler2D sceneSampler = sampler_state {
    Texture = <sceneMap>;
    MinFilter = Point;
    MagFilter = Point;
    AddressU = Clamp;
    AddressV = Clamp;
};

vertexshader litVS {
    out vec3 normal;
    void main() {
        gl_Position = vec4(POSITION.xyz, 1.0);
        normal = NORMAL.xyz;
    }
}

pixelshader litPS {
    in vec3 normal;
    void main() {
        float diffuse = max(dot(normalize(normal), vec3(0.0, 0.0, -1.0)), 0.0);
        COLOR0 = vec4(diffuse, 0.0, 0.0, 1.0);
    }
}

vertexshader quadVS {
    out vec2 uv;
    void main() {
        gl_Position = vec4(POSITION.xyz, 1.0);
        uv = vec2(POSITION.x * 0.5 + 0.5, 0.5 - POSITION.y * 0.5);
    }
}

pixelshader composePS {
    in vec2 uv;
    void main() {
        COLOR0 = vec4(0.0, texture(sceneSampler, uv).r, 1.0, 1.0);
    }
}

technique Lit {
    pass P0 {
        VertexShader = compile vs_2_0 litVS();
        PixelShader = compile ps_2_0 litPS();
        CullMode = None;
    }
}

technique Compose {
    pass P0 {
        VertexShader = compile vs_2_0 quadVS();
        PixelShader = compile ps_2_0 composePS();
        CullMode = None;
    }
}
)";

// Position and normal of each corner.
struct Vertex {
    float x, y, z, nx, ny, nz;
};

class Quad : public gfx::Spatial {
public:
    Quad() : Spatial(nullptr) {}
    void Update(gfx::RenderQueue& queue) override {
        for (const auto& object : objects)
            queue.Submit(object);
    }
    std::vector<std::shared_ptr<gfx::RenderObject>> objects;
};

class GlRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        screen.Create(WindowSettings{});
        device = core::CWin32Window::Get()->Device();
        ASSERT_NE(device, nullptr);
        core::CWin32Window::Get()->SetClearColor(0xFF000000);
        core::Input::Get()->Clear();
        std::filesystem::create_directories("data/fx");
        std::ofstream("data/fx/compose.fx") << kComposeEffect;
        renderer = std::make_unique<gfx::Renderer>();
        renderer->Start();
    }

    void TearDown() override {
        objects.clear();
        declaration.reset();
        vertices.reset();
        indices.reset();
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

    std::shared_ptr<gfx::Effect> MakeEffect(const std::string& technique, int priority,
                                            const std::string& colorTarget,
                                            const std::string& sampledTarget) {
        gfx::PassDescription pass;
        pass.priority = priority;
        pass.effectFile = "compose.fx";
        pass.technique = technique;
        if (!colorTarget.empty()) {
            pass.hasColorTarget = true;
            pass.colorTarget = colorTarget;
        }
        if (!sampledTarget.empty()) {
            auto cell = std::make_shared<gfx::ShaderParameters::texture>();
            cell->resource =
                core::ResourceManager::Get()->Get<core::resources::RenderTargetTexture>(
                    std::wstring(sampledTarget.begin(), sampledTarget.end()));
            pass.textureParams.push_back({"sceneMap", cell, std::make_shared<std::uint8_t>(1)});
        }
        auto effect = std::make_shared<gfx::Effect>();
        effect->AddShader(std::make_shared<gfx::Shader>(pass, "data/fx/compose.fx"));
        effect->Bind();
        return effect;
    }

    // A quad from (left, bottom) to (right, top) in clip space, facing -z.
    std::shared_ptr<gfx::RenderObject> MakeQuad(std::shared_ptr<gfx::Effect> effect, float bottom,
                                                float top, std::size_t slot) {
        const std::array<Vertex, 4> corners{{{-1, bottom, 0.5f, 0, 0, -1},
                                             {-1, top, 0.5f, 0, 0, -1},
                                             {1, top, 0.5f, 0, 0, -1},
                                             {1, bottom, 0.5f, 0, 0, -1}}};
        const std::uint32_t offset = static_cast<std::uint32_t>(slot * sizeof corners);
        void* bytes = vertices->Lock(offset, sizeof corners, 0);
        std::memcpy(bytes, corners.data(), sizeof corners);
        vertices->Unlock();
        auto object = std::make_shared<gfx::RenderObject>();
        object->effect = std::move(effect);
        object->vertexCount = 8;
        object->primitiveCount = 2;
        object->vertexBuffer = vertices.get();
        object->indexBuffer = indices.get();
        object->vertexDeclaration = declaration.get();
        object->vertexSize = sizeof(Vertex);
        object->startIndex = static_cast<std::int32_t>(slot * 6);
        return object;
    }

    void MakeGeometry() {
        const platform::VertexElement elements[] = {
            {0, platform::DeclType::Float3, platform::DeclUsage::Position, 0},
            {12, platform::DeclType::Float3, platform::DeclUsage::Normal, 0}};
        declaration = device->CreateVertexDeclaration(elements);
        vertices = device->CreateVertexBuffer(8 * sizeof(Vertex), platform::BufferUsage::Static);
        indices =
            device->CreateIndexBuffer(12 * sizeof(std::uint16_t), platform::IndexFormat::Index16,
                                      platform::BufferUsage::Static);
        const std::uint16_t order[12] = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
        std::memcpy(indices->Lock(0, sizeof order, 0), order, sizeof order);
        indices->Unlock();
    }

    LogCapture log;
    core::CScreen screen;
    platform::Device* device = nullptr;
    std::unique_ptr<gfx::Renderer> renderer;
    std::unique_ptr<platform::VertexDeclaration> declaration;
    std::unique_ptr<platform::VertexBuffer> vertices;
    std::unique_ptr<platform::IndexBuffer> indices;
    std::vector<std::shared_ptr<gfx::RenderObject>> objects;
};

TEST_F(GlRendererTest, SecondPassSamplesWhatTheFirstDrewIntoItsTarget) {
    MakeGeometry();
    auto scene = std::make_shared<Quad>();
    // Submitted in the wrong order on purpose: priorities decide.
    scene->objects = {MakeQuad(MakeEffect("Compose", 2, "", "sceneCopy"), -1.0f, 1.0f, 1),
                      MakeQuad(MakeEffect("Lit", 1, "sceneCopy", ""), 0.0f, 1.0f, 0)};
    renderer->SetRootNode(scene);
    core::Input::Get()->KeyDown(core::vk::kF11);
    renderer->Update();

    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load("screenshots/screenshot0.png", &width, &height, &channels, 4);
    ASSERT_NE(pixels, nullptr) << log.Rows();
    ASSERT_EQ(width, 1024);
    ASSERT_EQ(height, 768);
    auto pixel = [&](int x, int y) {
        const stbi_uc* p = pixels + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
        return std::array<int, 4>{p[0], p[1], p[2], p[3]};
    };
    // The top half was lit red in the target: green in the composition;
    // the bottom half of the target held the clear colour.
    for (int x : {10, 512, 1000}) {
        EXPECT_EQ(pixel(x, 100), (std::array<int, 4>{0, 255, 255, 255})) << x;
        EXPECT_EQ(pixel(x, 700), (std::array<int, 4>{0, 0, 255, 255})) << x;
    }
    stbi_image_free(pixels);
}

} // namespace
