// The demo's entry: settings (dialog or desktop mode), window and device,
// optional pixel-shader cap, the scene module, then the engine's main loop.
// Beyond that it offers --help and an offline capture (see options.h).
#include "testScene1.h"

#include "common/entryGuard.h"
#include "common/options.h"
#include "common/playShow.h"

#include "engine/wrapper/wrapper.h"

#include <cstdio>

namespace {

constexpr int kUsageError = 2;
constexpr double kShowSeconds = 125.2;

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
    return RunGuarded([&] {
        engine::SetShowLength(kShowSeconds);
        TestScene1 scene;
        return PlayShow(options, L"Quartz Hollow - Undertow", scene);
    });
}
