// kovra-player run as a user runs it: a starter show written and captured
// from outside its folder, and bad show folders refused in one line.
#include "support/programRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

using namespace kovra::test;
namespace fs = std::filesystem;

namespace {

Outcome Player(const std::string& arguments) {
    return RunProgram(KOVRA_PLAYER, arguments, "..");
}

// Everything below the current folder.
std::set<std::string> Tree() {
    std::set<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator("."))
        paths.insert(entry.path().generic_string());
    return paths;
}

// The scratch folder holds "here", where the player is run from, beside
// the files the runs write their output to.
struct Here {
    ScratchDir dir{false};
    Here() {
        fs::create_directory("here");
        fs::current_path("here");
    }
};

TEST(Player, AStarterShowPlaysAtOnceFromAnyFolder) {
    Here here;
    const Outcome made = Player("--new show");
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out, "Wrote a starter show to show; play it with: kovra-player show\n");

    const Outcome run =
        Player("show nodialog --capture clip --size 64x36 --rate 10 --to 2 --frames png");
    ASSERT_EQ(run.status, 0) << run.err;
    // The capture lands where the user stands, the log in the show.
    const std::string clip = fs::absolute("clip").string();
    EXPECT_NE(run.err.find("Captured 20 frames to " + clip + "/frame_NNNNNN.png"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists("clip/frame_000020.png"));
    const std::string log = ReadFile("show/data/log.html");
    EXPECT_NE(log.find("Creating curve particle emitter"), std::string::npos);
    EXPECT_EQ(log.find("<td>ERROR</td>"), std::string::npos) << log;
    EXPECT_EQ(log.find("<td>WARNING</td>"), std::string::npos) << log;
    // The scene moves.
    EXPECT_NE(ReadFile("clip/frame_000000.png"), ReadFile("clip/frame_000019.png"));

    EXPECT_EQ(Player("--new show").status, 1); // never over an existing show
}

TEST(Player, ABadShowFolderGetsOneLineAndWritesNothing) {
    Here here;
    ASSERT_EQ(Player("--new starter").status, 0);
    const std::pair<const char*, std::string> cases[] = {
        {"", "kovra-player: show: no such folder\n"},
        {"show.lua", "kovra-player: show: show.lua: no such file\n"},
        {"data/scene.demo",
         "kovra-player: show: show.lua: scene names data/scene.demo, which does not exist\n"},
        {"data/camera.txt",
         "kovra-player: show: show.lua: cameras names data/camera.txt, which does not exist\n"},
        {"data/music.mp3",
         "kovra-player: show: show.lua: music names data/music.mp3, which does not exist\n"},
    };
    for (const auto& [missing, error] : cases) {
        fs::remove_all("show");
        if (*missing) {
            fs::copy("starter", "show", fs::copy_options::recursive);
            fs::remove(fs::path("show") / missing);
        }
        const std::set<std::string> before = Tree();
        const Outcome run = Player("show nodialog --capture clip --size 64x36 --to 1");
        EXPECT_EQ(run.status, 1) << missing;
        EXPECT_EQ(run.err, error);
        std::set<std::string> after = Tree();
        // The show's own log is the one thing a bad show may gain.
        after.erase("./show/data/log.html");
        EXPECT_EQ(after, before) << missing;
    }
    // A name beyond ASCII comes out as the manifest spells it, in UTF-8.
    std::string manifest = ReadFile("show/show.lua");
    manifest.replace(manifest.find("data/music.mp3"), 14, "data/m\u00e9lodie.mp3");
    WriteFile("show/show.lua", manifest);
    EXPECT_EQ(Player("show").err, "kovra-player: show: show.lua: music names "
                                  "data/m\u00e9lodie.mp3, which does not exist\n");
}

TEST(Player, CommandLineMistakesAreNamedAboveTheHelp) {
    Here here;
    const std::string help = Player("--help").out;
    EXPECT_EQ(help.rfind("Usage: kovra-player SHOWDIR ", 0), 0u) << help;
    const std::pair<const char*, const char*> cases[] = {
        {"", "the show folder comes first"},
        {"--capture clip", "the show folder comes first"},
        {"--new", "--new takes one folder"},
        {"--new a b", "--new takes one folder"},
        {"show --bogus", "unknown option '--bogus'"},
        {"show --to 2", "--rate, --size, --from, --to and --frames need --capture"},
    };
    for (const auto& [arguments, error] : cases) {
        const Outcome run = Player(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.err, "kovra-player: " + std::string(error) + "\n\n" + help) << arguments;
    }
    EXPECT_EQ(Tree(), std::set<std::string>{});
}

} // namespace
