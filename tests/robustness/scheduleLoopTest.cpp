// A camera schedule that cannot even be looked at (a symbolic link to
// itself) must not end the program past the engine's shutdown: the show
// plays from the scene's first camera and says why.
#include "robustness/gameRun.h"
#include "support/scratchDir.h"
#include "support/tinyShow.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kovra::test;
namespace fs = std::filesystem;

namespace {

TEST(ScheduleLoop, TheShowPlaysWithoutCuesAndNamesTheSchedule) {
    ScratchDir dir;
    WriteTinyShow();
    fs::remove("data/camera.txt");
    fs::create_symlink("camera.txt", "data/camera.txt");
    const GameRun run =
        RunGame("nodialog --capture frames --frames png --size 32x18 --from 0 --to 0.04");
    ASSERT_TRUE(run.exited) << run.err;
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists("frames/frame_000000.png"));
    EXPECT_TRUE(run.LogRowMentions(
        "WARNING", "<td>Cannot read the camera schedule data/camera.txt (Too many levels of "
                   "symbolic links): the scene's first camera stays active</td>"))
        << run.log;
}

} // namespace
