#include "engine/core/exception.h"
#include "engine/core/graphicsDevice.h"
#include "engine/core/resourceManager.h"
#include "engine/core/resourceTypes.h"
#include "engine/core/stringConversion.h"
#include "engine/platform/recordingDevice.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <filesystem>

using engine::core::Exception;
using engine::core::ResourceManager;
using engine::core::resources::ManagedCubeTexture;
using engine::core::resources::ManagedTexture;

namespace {

// Every file of the corpus fails to load as either texture kind with the
// texture error, without crashing and without creating a device texture.
template <class T> void ExpectRejected(const std::filesystem::path& file) {
    const std::wstring name = engine::core::Widen(file.string());
    try {
        ResourceManager::Get()->Get<T>(name);
        ADD_FAILURE() << file << " was accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.GetText(), L"Failed to create texture " + name);
    }
}

} // namespace

TEST(MalformedTextures, EveryFileIsRejectedCleanly) {
    kovra::test::LogCapture log;
    engine::platform::RecordingDevice device;
    engine::core::SetGraphicsDevice(&device);
    int files = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(KOVRA_TEST_DATA "/malformed-textures")) {
        SCOPED_TRACE(entry.path().string());
        ExpectRejected<ManagedTexture>(entry.path());
        ExpectRejected<ManagedCubeTexture>(entry.path());
        ++files;
    }
    EXPECT_GE(files, 30);
    EXPECT_EQ(device.Count(engine::platform::RecordingDevice::Call::CreateTexture), 0u);
    EXPECT_EQ(device.Count(engine::platform::RecordingDevice::Call::CreateCubeTexture), 0u);
    delete ResourceManager::mInstance;
    engine::core::SetGraphicsDevice(nullptr);
}
