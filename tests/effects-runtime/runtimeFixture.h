#pragma once

#include "engine/core/fxEffect.h"
#include "engine/core/graphicsDevice.h"
#include "engine/core/kernel.h"
#include "engine/core/resourceManager.h"
#include "engine/gfx/compiledEffect.h"
#include "engine/gfx/effect.h"
#include "engine/gfx/effectPool.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/shader.h"
#include "engine/platform/device.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <utility>
#include <vector>

namespace kovra::test {

// A texture resource as the texture classes hold it: a device texture made
// on Create.
class FakeTexture : public engine::core::resources::UnmanagedResource,
                    public engine::core::resources::ResourceRetriever<engine::platform::Texture> {
public:
    using UnmanagedResource::UnmanagedResource;
    void OnLostDevice() override {}
    void OnResetDevice() override {}
    void Create() override {
        mHandle = engine::core::GraphicsDevice()->CreateTexture(
            2, 2, 1, engine::platform::Format::A8R8G8B8, engine::platform::TextureUsage::Static);
    }
    void Release() override { mHandle.reset(); }
    engine::platform::Texture* Texture() const { return mHandle.get(); }
};

// "LEVEL|file|text" of each log row, in order.
inline std::vector<std::string> LogEntries(const std::string& rows) {
    static const std::regex row("<tr[^>]*><td>([A-Z]+)</td><td>[0-9]+</td><td>([^<]*)</"
                                "td><td>([\\s\\S]*?)</td></tr>\\r\\n");
    std::vector<std::string> entries;
    for (auto it = std::sregex_iterator(rows.begin(), rows.end(), row);
         it != std::sregex_iterator(); ++it)
        entries.push_back((*it)[1].str() + "|" + (*it)[2].str() + "|" + (*it)[3].str());
    return entries;
}

// Scratch folder with the engine's wireframe files, a log, a device in the
// engine's slot and script resources made as FakeTextures; everything the
// effect runtime keeps engine-wide is cleared afterwards.
class RuntimeFixture {
public:
    explicit RuntimeFixture(engine::platform::Device* device) {
        namespace fs = std::filesystem;
        fs::create_directories("data/fx");
        fs::copy_file(fs::path(KOVRA_SOURCE_DIR) / "data/wireframe.efx", "data/wireframe.efx");
        fs::copy_file(fs::path(KOVRA_SOURCE_DIR) / "data/fx/wireframe.fx", "data/fx/wireframe.fx");
        engine::core::SetGraphicsDevice(device);
        engine::gfx::SetScriptResourceLoader(
            [this](engine::gfx::ScriptResource kind, const std::wstring& name) {
                loaded.emplace_back(kind, name);
                return engine::core::ResourceManager::Get()->Get<FakeTexture>(name);
            });
    }
    ~RuntimeFixture() {
        delete engine::gfx::EffectPool::mInstance;
        delete engine::core::ResourceManager::mInstance;
        delete engine::core::Kernel::mInstance;
        engine::gfx::SetScriptResourceLoader({});
        engine::gfx::SharedParameterPool::Instance().Clear();
        engine::gfx::LastBoundGeometry().Reset();
        engine::core::SetGraphicsDevice(nullptr);
    }

    // The log's rows so far, as LogEntries; the log starts afresh.
    std::vector<std::string> TakeLog() {
        auto entries = LogEntries(log.Rows());
        engine::core::Logging::Get();
        return entries;
    }

    static void Write(const std::string& path, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        WriteFile(path, text);
    }

    // Rewrites a file and moves its last-write time on, as a save in an
    // editor does (file-system clocks may be too coarse to see a quick save).
    static void Touch(const std::string& path, const std::string& text) {
        const auto before = std::filesystem::last_write_time(path);
        WriteFile(path, text);
        std::filesystem::last_write_time(path, before + std::chrono::seconds(2));
    }

    LogCapture log;
    std::vector<std::pair<engine::gfx::ScriptResource, std::wstring>> loaded;
};

} // namespace kovra::test
