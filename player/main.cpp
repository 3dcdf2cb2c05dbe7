// kovra-player: plays the show in a folder as its manifest "show.lua" says,
// in a window or, without a display or with --capture, offline into a
// video; "--new DIR" writes a starter show to begin from.
#include "player/showScene.h"
#include "player/starterShow.h"

#include "common/entryGuard.h"
#include "common/options.h"
#include "common/playShow.h"

#include "engine/core/exception.h"
#include "engine/core/stringConversion.h"
#include "engine/wrapper/wrapper.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kUsageError = 2;
constexpr const char* kManifest = "show.lua";

int UsageError(const std::string& error) {
    std::fprintf(stderr, "kovra-player: %s\n\n%s", error.c_str(), PlayerHelpText().c_str());
    return kUsageError;
}

// Bad input: one line naming the show folder and what is wrong with it.
int BadShow(const std::string& folder, const std::string& what) {
    std::fprintf(stderr, "kovra-player: %s: %s\n", folder.c_str(), what.c_str());
    return 1;
}

// Checks the folder and its manifest before anything is written: only then
// does the engine start, from inside the folder, so that the show's
// "data/..." paths and its log are the folder's own.
int PlayFolder(const std::string& folder, Options options) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return BadShow(folder, "no such folder");
    if (!fs::is_regular_file(fs::path(folder) / kManifest, ec))
        return BadShow(folder, std::string(kManifest) + ": no such file");
    // Paths on the command line are the user's, relative to where they stand.
    if (options.capture)
        options.capture->directory = fs::absolute(options.capture->directory).string();
    fs::current_path(folder, ec);
    if (ec)
        return BadShow(folder, ec.message());
    fs::create_directories("data", ec); // where the log goes
    engine::gfx::ShowManifest manifest;
    try {
        manifest = engine::ReadShowManifest(kManifest);
    } catch (const engine::core::Exception& e) {
        return BadShow(folder, engine::core::Narrow(e.GetText()));
    }
    engine::SetMusicFile(manifest.music);
    engine::SetShowLength(manifest.length);
    ShowScene scene(manifest);
    return PlayShow(options, std::wstring(manifest.title.begin(), manifest.title.end()), scene);
}

int NewShow(const std::string& folder) {
    const std::string error = WriteStarterShow(folder);
    if (!error.empty()) {
        std::fprintf(stderr, "kovra-player: %s\n", error.c_str());
        return 1;
    }
    std::printf("Wrote a starter show to %s; play it with: kovra-player %s\n", folder.c_str(),
                folder.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && arguments[0] == "--new") {
        if (arguments.size() != 2)
            return UsageError("--new takes one folder");
        return NewShow(arguments[1]);
    }
    // The show folder comes first; the options of game follow it.
    const bool haveFolder = !arguments.empty() && arguments[0].rfind("--", 0) != 0;
    const Options options =
        ParseOptions({arguments.begin() + (haveFolder ? 1 : 0), arguments.end()});
    if (options.help) {
        std::fputs(PlayerHelpText().c_str(), stdout);
        return 0;
    }
    if (!options.error.empty())
        return UsageError(options.error);
    if (!haveFolder)
        return UsageError("the show folder comes first");
    return RunGuarded([&] { return PlayFolder(arguments[0], options); });
}
