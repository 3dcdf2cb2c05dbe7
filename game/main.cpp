// The demo's entry: settings (dialog or desktop mode), window and device,
// optional pixel-shader cap, the scene module, then the engine's main loop.
// Beyond that it offers --help and an offline capture (see options.h).
#include "entryGuard.h"
#include "options.h"
#include "testScene1.h"

#include "engine/core/exception.h"
#include "engine/wrapper/wrapper.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int kUsageError = 2;

engine::WindowSettings ChooseSettings(const std::string& commandLine) {
    engine::WindowSettings settings;
    if (WantsDialog(commandLine)) {
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

int Play(const Options& options) {
    if (options.capture) {
        try {
            engine::SetCapture(*options.capture);
        } catch (const engine::core::Exception& e) {
            engine::ShowMessage(e.GetText(), e.GetFunction());
            return kUsageError;
        }
    }
    const engine::WindowSettings settings = ChooseSettings(options.commandLine);
    const auto scene = std::make_unique<TestScene1>();
    engine::CreateKOVRAWindow(settings);
    if (const auto cap = ShaderCap(options.commandLine))
        engine::SetTargetShaderVersion(*cap);
    engine::AddModule(scene.get(), 10100);
    // Without its scene file the show has nothing to play: the failure has
    // been shown; the engine still shuts down in order. A show that failed
    // to load some of its content plays what it has, and the status tells
    // whoever ran it that something was missing.
    const bool playable = scene->HasScene();
    if (!playable)
        engine::QuitApplication();
    if (const int interrupted = engine::StartApplication())
        return interrupted;
    return playable && scene->IsComplete() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions({argv + 1, argv + argc});
    if (options.help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "game: %s\n\n%s", options.error.c_str(), HelpText().c_str());
        return kUsageError;
    }
    return RunGuarded([&] { return Play(options); });
}
