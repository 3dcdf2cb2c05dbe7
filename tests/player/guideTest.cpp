// docs/making-a-show.md as a user follows it: its "sh" blocks run in order,
// in an empty folder, with the built player on the PATH.
#include "support/scratchDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace kovra::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> ShellBlocks(const std::string& markdown) {
    std::vector<std::string> blocks;
    std::istringstream lines(markdown);
    std::string line;
    std::string* block = nullptr;
    while (std::getline(lines, line)) {
        if (block && line == "```")
            block = nullptr;
        else if (block)
            *block += line + "\n";
        else if (line == "```sh")
            block = &blocks.emplace_back();
    }
    return blocks;
}

TEST(Guide, EveryCommandOfMakingAShowWorks) {
    const fs::path source = KOVRA_SOURCE_DIR;
    const std::vector<std::string> blocks = ShellBlocks(ReadFile(source / "docs/making-a-show.md"));
    ASSERT_GE(blocks.size(), 6u);
    ScratchDir dir(false);
    std::string script = "set -eu\n";
    for (const std::string& block : blocks)
        script += block;
    WriteFile("guide.sh", script);
    const std::string command = "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy PATH='" +
                                fs::path(KOVRA_PLAYER).parent_path().string() +
                                "':\"$PATH\" KOVRA_SOURCE='" + source.string() +
                                "' KOVRA_BUILD='" KOVRA_BUILD_DIR "' bash guide.sh >guide.log 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadFile("guide.log");
    // One second at 30 frames a second each, numbered by their place in the
    // show: "cut" starts at 3.5 s, frame 105.
    for (const auto& [capture, first] : {std::pair{"cut", 105}, std::pair{"red", 0}}) {
        const auto frame = [&](int k) {
            char name[32];
            std::snprintf(name, sizeof name, "frame_%06d.png", first + k);
            return fs::path(capture) / name;
        };
        EXPECT_TRUE(fs::exists(frame(0))) << capture;
        EXPECT_TRUE(fs::exists(frame(29))) << capture;
        EXPECT_FALSE(fs::exists(frame(30))) << capture;
    }
    // The example program, built both ways against the installed engine.
    EXPECT_TRUE(fs::exists("example-build/kovra-example"));
    EXPECT_TRUE(fs::exists("kovra-example"));
}

} // namespace
