#include "engine/core/resourceTypes.h"
#include "engine/core/exception.h"
#include "engine/core/graphicsDevice.h"
#include "engine/core/resourceManager.h"
#include "engine/platform/recordingDevice.h"
#include "engine/wrapper/wrapper.h"
#include "resources/ddsBuilder.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

using engine::core::Exception;
using engine::core::ResourceManager;
using engine::core::resources::DepthTexture;
using engine::core::resources::ManagedCubeTexture;
using engine::core::resources::ManagedTexture;
using engine::core::resources::RenderTargetTexture;
using engine::platform::Format;
using engine::platform::RecordingDevice;
using engine::platform::Texture;
using namespace kovra::test;

namespace {

const std::string kSource = "engine\\resourceTypes";

class ResourceTypesTest : public ::testing::Test {
protected:
    ResourceTypesTest() { engine::core::SetGraphicsDevice(&device); }
    ~ResourceTypesTest() override {
        delete ResourceManager::mInstance;
        engine::core::SetGraphicsDevice(nullptr);
    }

    void WriteTexture(const std::string& path, std::uint32_t argb = 0xFF336699) {
        WriteFile(log.Dir().Path() / path, DdsFile({.width = 8, .height = 4}, Texels(argb, 32)));
    }

    RecordingDevice device;
    LogCapture log;
    ResourceManager* manager = ResourceManager::Get();
};

Texture* Flat(const std::shared_ptr<ManagedTexture>& texture) {
    return dynamic_cast<Texture*>(texture->Handle());
}

} // namespace

TEST_F(ResourceTypesTest, TextureIsLoadedOnceForEveryoneWhoNamesIt) {
    WriteTexture("data/stone.dds");
    auto first = manager->Get<ManagedTexture>(L"data/stone.dds");
    auto second = manager->Get<ManagedTexture>(L"data/stone.dds");
    EXPECT_EQ(first, second);
    EXPECT_EQ(device.Count(RecordingDevice::Call::CreateTexture), 1u);
    EXPECT_EQ(first->GetTextureKind(), 0);
    Texture* texture = Flat(first);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->Width(), 8);
    EXPECT_EQ(texture->Height(), 4);
    EXPECT_EQ(texture->LevelCount(), 4);
    EXPECT_EQ(texture->GetFormat(), Format::A8R8G8B8);
    const auto locked = texture->Lock(3);
    EXPECT_EQ(*static_cast<std::uint32_t*>(locked.bits), 0xFF336699u);
    EXPECT_EQ(log.Rows(), MessageRow(106, kSource, "Creating managed texture data/stone.dds"));
}

TEST_F(ResourceTypesTest, NamesAreCaseSensitive) {
    WriteTexture("data/a.dds");
    WriteTexture("data/A.dds");
    EXPECT_NE(manager->Get<ManagedTexture>(L"data/a.dds"),
              manager->Get<ManagedTexture>(L"data/A.dds"));
    EXPECT_EQ(device.Count(RecordingDevice::Call::CreateTexture), 2u);
}

TEST_F(ResourceTypesTest, CubeTextureNeedsACubeMap) {
    WriteFile(log.Dir().Path() / "data/sky.dds",
              DdsFile({.width = 2, .height = 2, .caps2 = kCubeAllFaces}, Texels(0xFF0000FF, 24)));
    WriteTexture("data/flat.dds");
    auto cube = manager->Get<ManagedCubeTexture>(L"data/sky.dds");
    EXPECT_EQ(cube->GetTextureKind(), 2);
    auto* handle = dynamic_cast<engine::platform::CubeTexture*>(cube->Handle());
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle->EdgeLength(), 2);
    EXPECT_EQ(handle->LevelCount(), 2);
    EXPECT_THROW(manager->Get<ManagedCubeTexture>(L"data/flat.dds"), Exception);
    // A cube texture is a managed texture.
    EXPECT_EQ(manager->Get<ManagedTexture>(L"data/sky.dds"), cube);
    EXPECT_EQ(log.Rows(), MessageRow(124, kSource, "Creating managed texture data/sky.dds") +
                              MessageRow(124, kSource, "Creating managed texture data/flat.dds") +
                              ErrorRow(129, kSource, "Failed to create texture data/flat.dds"));
}

TEST_F(ResourceTypesTest, CubeMapAsFlatTextureGivesItsFirstFace) {
    WriteFile(log.Dir().Path() / "data/sky.dds",
              DdsFile({.width = 2, .height = 2, .caps2 = kCubeAllFaces},
                      Texels(0xFF0000FF, 4) + Texels(7, 20)));
    Texture* texture = Flat(manager->Get<ManagedTexture>(L"data/sky.dds"));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->Width(), 2);
    EXPECT_EQ(*static_cast<std::uint32_t*>(texture->Lock(1).bits), 0xFF0000FFu);
}

TEST_F(ResourceTypesTest, FailedTextureLeavesNoEntryAndIsRetried) {
    EXPECT_THROW(manager->Get<ManagedTexture>(L"data/missing.dds"), Exception);
    WriteTexture("data/missing.dds");
    device.SetFailure(RecordingDevice::Call::CreateTexture);
    EXPECT_THROW(manager->Get<ManagedTexture>(L"data/missing.dds"), Exception);
    device.ClearFailure(RecordingDevice::Call::CreateTexture);
    device.SetFailure(RecordingDevice::Call::Lock);
    EXPECT_THROW(manager->Get<ManagedTexture>(L"data/missing.dds"), Exception);
    device.ClearFailure(RecordingDevice::Call::Lock);
    EXPECT_NE(manager->Get<ManagedTexture>(L"data/missing.dds")->Handle(), nullptr);
    const std::string created =
        MessageRow(106, kSource, "Creating managed texture data/missing.dds");
    const std::string failed = ErrorRow(112, kSource, "Failed to create texture data/missing.dds");
    EXPECT_EQ(log.Rows(), created + failed + created + failed + created + failed + created);
}

TEST_F(ResourceTypesTest, ErrorCarriesTextAndSource) {
    try {
        manager->Get<ManagedTexture>(L"data/none.png");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.GetText(), L"Failed to create texture data/none.png");
        EXPECT_EQ(e.GetFunction(), L"engine\\resourceTypes:112");
    }
}

TEST_F(ResourceTypesTest, TargetSizes) {
    auto glow = manager->Get<RenderTargetTexture>(L"glow");
    EXPECT_EQ(glow->GetSize(), 256);
    EXPECT_EQ(glow->Handle()->Width(), 256);
    EXPECT_EQ(glow->Handle()->GetFormat(), Format::X8R8G8B8); // the back buffer's
    EXPECT_TRUE(glow->IsColorTarget());
    ASSERT_NE(glow->GetSurface(), nullptr);
    EXPECT_EQ(glow->GetSurface()->Width(), 256);

    engine::CreateRenderTarget(L"scene", 1024);
    auto scene = manager->Get<RenderTargetTexture>(L"scene");
    EXPECT_EQ(scene->GetSize(), 1024);
    EXPECT_EQ(scene->Handle()->Height(), 1024);
    engine::CreateRenderTarget(L"scene", 64);
    auto replaced = manager->Get<RenderTargetTexture>(L"scene");
    EXPECT_NE(replaced, scene);
    EXPECT_EQ(replaced->Handle()->Width(), 64);

    auto depth = manager->Get<DepthTexture>(L"depth");
    EXPECT_EQ(depth->GetSize(), 512);
    EXPECT_EQ(depth->Handle()->Width(), 512);
    EXPECT_EQ(depth->Handle()->Height(), 512);
    EXPECT_EQ(depth->Handle()->GetFormat(), Format::R32F);
    EXPECT_EQ(depth->Handle()->LevelCount(), 1);
    EXPECT_FALSE(depth->IsColorTarget());

    EXPECT_EQ(manager->Get<DepthTexture>(L"glow"), nullptr);
    EXPECT_EQ(manager->Get<RenderTargetTexture>(L"depth"), depth);
    const std::string target = MessageRow(140, kSource, "Creating render target texture");
    EXPECT_EQ(log.Rows(),
              target + target + target + MessageRow(173, kSource, "Creating depth texture"));
}

TEST_F(ResourceTypesTest, TargetsFollowDeviceLoss) {
    device.Reset([] {
        engine::platform::PresentParameters parameters;
        parameters.backBufferFormat = Format::A8R8G8B8;
        return parameters;
    }());
    engine::CreateRenderTarget(L"big", 1024);
    auto glow = manager->Get<RenderTargetTexture>(L"glow");
    auto depth = manager->Get<DepthTexture>(L"depth");
    manager->LostDeviceAll();
    EXPECT_EQ(glow->Handle(), nullptr);
    EXPECT_EQ(depth->Handle(), nullptr);
    EXPECT_EQ(glow->GetSurface(), nullptr);
    manager->ResetDeviceAll();
    auto big = manager->Get<RenderTargetTexture>(L"big");
    for (const auto& [target, size, format] :
         {std::tuple{big, 1024, Format::A8R8G8B8}, std::tuple{glow, 256, Format::A8R8G8B8},
          std::tuple<std::shared_ptr<RenderTargetTexture>, int, Format>{depth, 512,
                                                                        Format::R32F}}) {
        ASSERT_NE(target->Handle(), nullptr);
        EXPECT_EQ(target->Handle()->Width(), size);
        EXPECT_EQ(target->Handle()->GetFormat(), format);
    }
}

TEST_F(ResourceTypesTest, FailedTargetsLeaveNoEntry) {
    device.SetFailure(RecordingDevice::Call::CreateTexture);
    EXPECT_THROW(manager->Get<RenderTargetTexture>(L"glow"), Exception);
    EXPECT_THROW(manager->Get<DepthTexture>(L"depth"), Exception);
    EXPECT_THROW(engine::CreateRenderTarget(L"scene", 1024), Exception);
    device.ClearFailure(RecordingDevice::Call::CreateTexture);
    EXPECT_EQ(manager->Get<DepthTexture>(L"glow")->GetSize(),
              512); // not a colour target left behind
    EXPECT_EQ(manager->Get<RenderTargetTexture>(L"scene")->GetSize(), 256);
    EXPECT_EQ(log.Rows(), MessageRow(140, kSource, "Creating render target texture") +
                              ErrorRow(147, kSource, "Failed to create render target texture") +
                              MessageRow(173, kSource, "Creating depth texture") +
                              ErrorRow(179, kSource, "Failed to create depth texture") +
                              MessageRow(140, kSource, "Creating render target texture") +
                              ErrorRow(147, kSource, "Failed to create render target texture") +
                              MessageRow(173, kSource, "Creating depth texture") +
                              MessageRow(140, kSource, "Creating render target texture"));
}

TEST_F(ResourceTypesTest, WithoutDeviceEverythingFails) {
    engine::core::SetGraphicsDevice(nullptr);
    WriteTexture("data/a.dds");
    EXPECT_THROW(manager->Get<ManagedTexture>(L"data/a.dds"), Exception);
    EXPECT_THROW(manager->Get<RenderTargetTexture>(L"glow"), Exception);
    EXPECT_THROW(manager->Get<DepthTexture>(L"depth"), Exception);
}
