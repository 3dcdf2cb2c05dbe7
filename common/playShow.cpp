#include "common/playShow.h"

#include "engine/core/exception.h"
#include "engine/wrapper/wrapper.h"

namespace {

constexpr int kUsageError = 2;

engine::WindowSettings ChooseSettings(const std::string& commandLine, const std::wstring& title) {
    engine::WindowSettings settings;
    if (WantsDialog(commandLine)) {
        settings = engine::SettingsDialog();
        settings.title = title;
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

} // namespace

int PlayShow(const Options& options, const std::wstring& title, ShowModule& scene) {
    if (options.capture) {
        try {
            engine::SetCapture(*options.capture);
        } catch (const engine::core::Exception& e) {
            engine::ShowMessage(e.GetText(), e.GetFunction());
            return kUsageError;
        }
    }
    engine::CreateKOVRAWindow(ChooseSettings(options.commandLine, title));
    if (const auto cap = ShaderCap(options.commandLine))
        engine::SetTargetShaderVersion(*cap);
    engine::AddModule(&scene, 10100);
    // Without its scene file the show has nothing to play: the failure has
    // been shown; the engine still shuts down in order. A show that failed
    // to load some of its content plays what it has, and the status tells
    // whoever ran it that something was missing.
    const bool playable = scene.HasScene();
    if (!playable)
        engine::QuitApplication();
    if (const int interrupted = engine::StartApplication())
        return interrupted;
    return playable && scene.IsComplete() ? 0 : 1;
}
