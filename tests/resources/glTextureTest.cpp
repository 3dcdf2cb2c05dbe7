#include "engine/core/graphicsDevice.h"
#include "engine/core/resourceManager.h"
#include "engine/core/resourceTypes.h"
#include "engine/platform/glDevice.h"
#include "engine/platform/sdlWindow.h"
#include "resources/ddsBuilder.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <stb/stb_image.h>

#include <cstdlib>

using engine::core::ResourceManager;
using engine::core::resources::ManagedCubeTexture;
using engine::core::resources::ManagedTexture;
using engine::platform::CubeTexture;
using engine::platform::Format;
using engine::platform::Texture;
using namespace kovra::test;

namespace {

// Textures loaded onto the OpenGL device under the offscreen driver.
class GlTextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        mWindow = std::make_unique<engine::platform::SdlWindow>(
            engine::platform::WindowDescription{L"textures", 64, 64});
        mDevice = engine::platform::GlDevice::Create(mWindow->Handle(), {});
        engine::core::SetGraphicsDevice(mDevice.get());
    }
    // Textures go before their device, the device before its window.
    void TearDown() override {
        delete ResourceManager::mInstance;
        engine::core::SetGraphicsDevice(nullptr);
        mDevice.reset();
        mWindow.reset();
    }

    LogCapture log;
    std::unique_ptr<engine::platform::SdlWindow> mWindow;
    std::unique_ptr<engine::platform::GlDevice> mDevice;
};

} // namespace

TEST_F(GlTextureTest, LoadsFlatCompressedAndCubeTextures) {
    WriteFile(log.Dir().Path() / "data/flat.dds",
              DdsFile({.width = 16, .height = 8}, Texels(0xFF808080, 128)));
    WriteFile(log.Dir().Path() / "data/blocks.dds",
              DdsFile({.width = 8, .height = 8, .mipCount = 4, .fourCC = kFourCCDxt1},
                      std::string(32 + 3 * 8, '\x11')));
    WriteFile(log.Dir().Path() / "data/single.dds",
              DdsFile({.width = 8, .height = 8, .fourCC = kFourCCDxt1}, std::string(32, '\x11')));
    WriteFile(log.Dir().Path() / "data/sky.dds",
              DdsFile({.width = 4, .height = 4, .mipCount = 3, .caps2 = kCubeAllFaces},
                      Texels(0xFF00FF00, 6 * 21)));
    auto* manager = ResourceManager::Get();

    auto* flat = dynamic_cast<Texture*>(manager->Get<ManagedTexture>(L"data/flat.dds")->Handle());
    ASSERT_NE(flat, nullptr);
    EXPECT_EQ(flat->Width(), 16);
    EXPECT_EQ(flat->Height(), 8);
    EXPECT_EQ(flat->LevelCount(), 5);
    EXPECT_EQ(flat->GetFormat(), Format::A8R8G8B8);

    // Blocks stay compressed where the driver samples them, else they are decoded.
    auto* blocks =
        dynamic_cast<Texture*>(manager->Get<ManagedTexture>(L"data/blocks.dds")->Handle());
    ASSERT_NE(blocks, nullptr);
    EXPECT_EQ(blocks->Width(), 8);
    EXPECT_EQ(blocks->LevelCount(), 4);
    EXPECT_TRUE(blocks->GetFormat() == Format::DXT1 || blocks->GetFormat() == Format::A8R8G8B8);

    // Without stored mips the blocks are decoded and get a full chain.
    auto* single =
        dynamic_cast<Texture*>(manager->Get<ManagedTexture>(L"data/single.dds")->Handle());
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(single->LevelCount(), 4);
    EXPECT_EQ(single->GetFormat(), Format::A8R8G8B8);

    auto* cube =
        dynamic_cast<CubeTexture*>(manager->Get<ManagedCubeTexture>(L"data/sky.dds")->Handle());
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(cube->EdgeLength(), 4);
    EXPECT_EQ(cube->LevelCount(), 3);
}

TEST_F(GlTextureTest, ShippedDefaultTextureLoads) {
    auto texture =
        ResourceManager::Get()->Get<ManagedTexture>(L"" KOVRA_SOURCE_DIR "/data/default.dds");
    auto* flat = dynamic_cast<Texture*>(texture->Handle());
    ASSERT_NE(flat, nullptr);
    EXPECT_EQ(flat->Width(), 64);
    EXPECT_EQ(flat->Height(), 64);
    EXPECT_EQ(flat->LevelCount(), 7);
}

TEST_F(GlTextureTest, TopRowOfTheFileIsTheTopRowOfTheTexture) {
    // 2 x 2: red on top, blue below.
    WriteFile(log.Dir().Path() / "data/rows.dds",
              DdsFile({.width = 2, .height = 2}, Texels(0xFFFF0000, 2) + Texels(0xFF0000FF, 2)));
    auto* texture = dynamic_cast<Texture*>(
        ResourceManager::Get()->Get<ManagedTexture>(L"data/rows.dds")->Handle());
    ASSERT_NE(texture, nullptr);
    ASSERT_EQ(mDevice->SaveSurfaceToPng(texture->GetSurfaceLevel(0), "rows.png"),
              engine::platform::Result::Ok);
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load("rows.png", &width, &height, &channels, 4);
    ASSERT_NE(pixels, nullptr);
    const std::vector<stbi_uc> rgba(pixels, pixels + width * height * 4);
    stbi_image_free(pixels);
    EXPECT_EQ(rgba, (std::vector<stbi_uc>{255, 0, 0, 255, 255, 0, 0, 255, 0, 0, 255, 255, 0, 0, 255,
                                          255}));
}
