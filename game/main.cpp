// The demo's entry: settings (dialog or desktop mode), window and device,
// optional pixel-shader cap, the scene module, then the engine's main loop.
#include "testScene1.h"

#include "engine/core/exception.h"
#include "engine/platform/messageBox.h"
#include "engine/wrapper/wrapper.h"

#include <string>

namespace {

void ShowError(const engine::core::Exception& e) {
    engine::platform::ShowMessageBox(e.GetText(), e.GetFunction(),
                                     engine::platform::MessageBoxOwner::None);
}

engine::WindowSettings ChooseSettings(const std::string& commandLine) {
    engine::WindowSettings settings;
    if (commandLine.find("nodialog") == std::string::npos) {
        settings = engine::SettingsDialog();
        settings.title = L"Quartz Hollow - Undertow";
    } else {
        const engine::platform::DisplayMode mode = engine::CurrentDisplayMode();
        settings.width = mode.width;
        settings.height = mode.height;
        settings.fullscreen = true;
        settings.refreshRate = mode.refreshRate;
        settings.multiSample = engine::kBestMultiSample;
    }
    settings.depthStencilFormat = engine::kFormatD24X8;
    return settings;
}

// Each option found overrides the ones tested before it.
void ApplyShaderCap(const std::string& commandLine) {
    const std::pair<const char*, unsigned> caps[] = {
        {"ps0", 0xFFFF0000},  {"ps11", 0xFFFF0101}, {"ps12", 0xFFFF0102}, {"ps13", 0xFFFF0103},
        {"ps14", 0xFFFF0104}, {"ps20", 0xFFFF0200}, {"ps30", 0xFFFF0300}};
    for (const auto& [option, version] : caps)
        if (commandLine.find(option) != std::string::npos)
            engine::SetTargetShaderVersion(version);
}

} // namespace

int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine += std::string(i > 1 ? " " : "") + argv[i];

    engine::WindowSettings settings;
    try {
        settings = ChooseSettings(commandLine);
    } catch (const engine::core::Exception& e) {
        ShowError(e);
        return 1;
    }
    auto* scene = new TestScene1;
    try {
        engine::CreateKOVRAWindow(settings);
    } catch (const engine::core::Exception& e) {
        ShowError(e);
        return 0;
    }
    ApplyShaderCap(commandLine);
    engine::AddModule(scene, 10100);
    try {
        engine::StartApplication();
    } catch (const engine::core::Exception& e) {
        ShowError(e);
        return 0;
    }
    delete scene;
    return 0;
}
