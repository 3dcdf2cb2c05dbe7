#pragma once

#include "effects-runtime/runtimeFixture.h"

#include "engine/platform/glDevice.h"
#include "engine/platform/sdlWindow.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kovra::test {

// The show's effect scripts, as the program and the scene file name them.
inline std::vector<std::string> ShowScripts() {
    namespace fs = std::filesystem;
    std::vector<std::string> scripts;
    for (const char* folder : {"data", "data/tree.demo_scene"})
        for (const auto& entry : fs::directory_iterator(fs::path(KOVRA_SOURCE_DIR) / folder))
            if (entry.path().extension() == ".efx")
                scripts.push_back(std::string(folder) + "/" + entry.path().filename().string());
    std::sort(scripts.begin(), scripts.end());
    return scripts;
}

// A small offscreen window on the real OpenGL device, the show's scripts and
// effect files copied into a scratch data folder, and script textures made
// as 2 x 2 FakeTextures that a test can paint.
class ShowFixture : public ::testing::Test {
public:
    static constexpr int kSize = 64;

protected:
    ShowFixture() {
        namespace fs = std::filesystem;
        const fs::path source(KOVRA_SOURCE_DIR);
        for (const char* folder : {"data", "data/fx", "data/tree.demo_scene"}) {
            fs::create_directories(folder);
            for (const auto& entry : fs::directory_iterator(source / folder)) {
                const auto extension = entry.path().extension();
                const fs::path copy = fs::path(folder) / entry.path().filename();
                if ((extension == ".efx" || extension == ".fx") && !fs::exists(copy))
                    fs::copy_file(entry.path(), copy);
            }
        }
        mDevice->SetTransform(engine::platform::TransformState::View,
                              engine::math::Matrix4x4::Identity);
        mDevice->SetTransform(engine::platform::TransformState::Projection,
                              engine::math::Matrix4x4::Identity);
    }
    ~ShowFixture() override { mBuffers.clear(); }

    static std::unique_ptr<engine::platform::SdlWindow> OffscreenWindow() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        return std::make_unique<engine::platform::SdlWindow>(
            engine::platform::WindowDescription{L"show effects test", kSize, kSize});
    }

    // Paints a script texture: four A8R8G8B8 words, top row first.
    void Paint(const std::wstring& name, std::uint32_t topLeft, std::uint32_t topRight,
               std::uint32_t bottomLeft, std::uint32_t bottomRight) {
        auto texture = engine::core::ResourceManager::Get()->Get<FakeTexture>(name);
        ASSERT_NE(texture->Texture(), nullptr);
        const engine::platform::LockedRect rect = texture->Texture()->Lock(0);
        ASSERT_NE(rect.bits, nullptr);
        const std::uint32_t rows[2][2] = {{topLeft, topRight}, {bottomLeft, bottomRight}};
        for (int y = 0; y < 2; ++y)
            std::memcpy(static_cast<char*>(rect.bits) + y * rect.pitch, rows[y], sizeof(rows[y]));
        ASSERT_EQ(texture->Texture()->Unlock(0), engine::platform::Result::Ok);
    }

    // A render object over vertices of `floats` floats each, laid out by
    // `elements`, drawn as a triangle list.
    engine::gfx::RenderObject Object(const std::vector<float>& vertices, int floats,
                                     const std::vector<engine::platform::VertexElement>& elements,
                                     const std::vector<std::uint16_t>& indices) {
        using namespace engine::platform;
        auto vertexBuffer = mDevice->CreateVertexBuffer(
            static_cast<std::uint32_t>(vertices.size() * sizeof(float)), BufferUsage::Static);
        std::memcpy(vertexBuffer->Lock(0, 0, LockNone), vertices.data(),
                    vertices.size() * sizeof(float));
        vertexBuffer->Unlock();
        auto indexBuffer =
            mDevice->CreateIndexBuffer(static_cast<std::uint32_t>(indices.size() * 2),
                                       IndexFormat::Index16, BufferUsage::Static);
        std::memcpy(indexBuffer->Lock(0, 0, LockNone), indices.data(), indices.size() * 2);
        indexBuffer->Unlock();
        auto declaration = mDevice->CreateVertexDeclaration(elements);
        engine::gfx::RenderObject object;
        object.vertexBuffer = vertexBuffer.get();
        object.indexBuffer = indexBuffer.get();
        object.vertexDeclaration = declaration.get();
        object.vertexCount = static_cast<std::uint32_t>(vertices.size()) / floats;
        object.primitiveCount = static_cast<std::uint32_t>(indices.size()) / 3;
        object.vertexSize = static_cast<std::uint32_t>(floats * sizeof(float));
        mBuffers.push_back(std::move(vertexBuffer));
        mBuffers.push_back(std::move(indexBuffer));
        mBuffers.push_back(std::move(declaration));
        return object;
    }

    // Clears to `clear`, draws the object with every pass of the shader and
    // returns the picture as RGBA words, top row first.
    std::vector<std::uint32_t> Draw(engine::gfx::Shader& shader,
                                    const engine::gfx::RenderObject& object,
                                    std::uint32_t clear = 0xFF000000) {
        using namespace engine::platform;
        EXPECT_EQ(mDevice->BeginScene(), Result::Ok);
        EXPECT_EQ(mDevice->Clear(ClearTarget | ClearZBuffer, clear, 1.0f, 0), Result::Ok);
        const int passes = shader.BeginPass(0);
        for (int pass = 0; pass < passes; ++pass) {
            shader.Render(object);
            shader.EndPass();
            shader.BeginPass(pass + 1);
        }
        EXPECT_EQ(mDevice->EndScene(), Result::Ok);
        std::vector<std::uint8_t> rgba;
        EXPECT_EQ(mDevice->ReadSurface(mDevice->GetBackBuffer(), rgba), Result::Ok);
        std::vector<std::uint32_t> words(rgba.size() / 4);
        std::memcpy(words.data(), rgba.data(), words.size() * 4);
        return words;
    }

    std::unique_ptr<engine::platform::SdlWindow> mWindow = OffscreenWindow();
    std::unique_ptr<engine::platform::GlDevice> mDevice =
        engine::platform::GlDevice::Create(mWindow->Handle(), {});
    RuntimeFixture mRuntime{mDevice.get()};
    std::vector<std::shared_ptr<void>> mBuffers;
};

// Colour channels of an RGBA word read from the device.
struct Rgb {
    int r, g, b;
};
inline Rgb Channels(std::uint32_t word) {
    return {int(word & 0xFF), int((word >> 8) & 0xFF), int((word >> 16) & 0xFF)};
}

} // namespace kovra::test
