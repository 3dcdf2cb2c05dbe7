// Every file the program reads from data/, in turn removed, emptied and cut
// to half its size: the program must stop with a message that names the
// file and a failing status, or, where the show is designed to carry on
// (an effect file falls back to wireframe), say so in a WARNING row that
// names the file. It must never crash or trip a sanitizer. The screen-quad
// mesh, which the engine writes before each read, must come back whole.
#include "robustness/gameRun.h"
#include "support/scratchDir.h"
#include "support/tinyShow.h"

#include "engine/gfx/KVRMesh.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

using namespace kovra::test;
namespace fs = std::filesystem;

namespace {

constexpr const char* kQuad = "data/quad.kvr";

// The first frame only, as small as it gets.
const std::string kFirstFrame =
    "nodialog --capture frames --frames png --size 32x18 --from 0 --to 0.04";

// The data folder as the build made it; the stand-in show where the show's
// own scene is missing.
void CopyData() {
    fs::copy(fs::path(KOVRA_SOURCE_DIR) / "data", "data", fs::copy_options::recursive);
    fs::remove("data/log.html");
    if (!fs::exists("data/tree.demo"))
        WriteTinyShow();
}

enum class Damage { Removed, Emptied, Halved };

const char* Name(Damage damage) {
    switch (damage) {
    case Damage::Removed:
        return "removed";
    case Damage::Emptied:
        return "emptied";
    case Damage::Halved:
        return "halved";
    }
    return "";
}

void Apply(Damage damage, const fs::path& file) {
    switch (damage) {
    case Damage::Removed:
        fs::remove(file);
        break;
    case Damage::Emptied:
        fs::resize_file(file, 0);
        break;
    case Damage::Halved:
        fs::resize_file(file, fs::file_size(file) / 2);
        break;
    }
}

// Files whose damage the show survives by design, each for its reason: an
// effect file that no longer compiles leaves its script to the wireframe
// fallback; without a working wireframe script the fallback itself is empty
// and objects whose effects all fail are not drawn; without a usable camera
// schedule the scene's first camera stays active; a broken quad material
// (a script in data/fx/) sends the effect that wanted it to its next variant.
// A skinned mesh whose animation is broken stands still.
bool FallsBack(const std::string& file) {
    const fs::path path(file);
    return path.extension() == ".fx" || path.extension() == ".anim" ||
           file == "data/wireframe.efx" || file == "data/camera.txt" ||
           (path.parent_path() == "data/fx" && path.extension() == ".efx");
}

// A schedule cut at half its size may still be a valid, shorter schedule,
// and a skinned mesh may have no animation at all.
bool MayStillBeValid(const std::string& file, Damage damage) {
    const fs::path path(file);
    return (damage == Damage::Halved && file == "data/camera.txt") ||
           (damage == Damage::Removed && path.extension() == ".anim");
}

// The first line of what the program printed, for the walk's summary.
std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// The files a clean run reads, and the screen quad if the show draws it.
std::set<std::string> FilesReadByTheShow() {
    ScratchDir dir;
    CopyData();
    OpenedFiles opened("data");
    const GameRun run = RunGame(kFirstFrame);
    EXPECT_TRUE(run.exited && run.status == 0) << run.err;
    std::set<std::string> files = opened.ReadOnly();
    if (opened.Written().count(kQuad))
        files.insert(kQuad);
    return files;
}

TEST(DataWalk, EveryFileTheShowReadsFailsCleanlyWhenDamaged) {
    const std::set<std::string> files = FilesReadByTheShow();
    // The engine's own data and the scene's are among them.
    for (const char* expected : {"data/wireframe.efx", "data/fx/wireframe.fx", "data/tree.demo",
                                 "data/camera.txt", "data/terrain.efx"})
        EXPECT_TRUE(files.count(expected)) << expected << " was not read";

    for (const std::string& file : files) {
        for (const Damage damage : {Damage::Removed, Damage::Emptied, Damage::Halved}) {
            SCOPED_TRACE(file + " " + Name(damage));
            ScratchDir dir;
            CopyData();
            if (file == kQuad)
                WriteFile(kQuad, engine::gfx::QuadFileBytes());
            Apply(damage, file);
            const GameRun run = RunGame(kFirstFrame);
            std::printf("%-24s %-8s status %d: %s\n", file.c_str(), Name(damage), run.status,
                        FirstLine(run.err).c_str());
            ASSERT_TRUE(run.exited) << "killed by a signal\n" << run.err;
            EXPECT_FALSE(run.SanitizerSpoke()) << run.err;
            if (file == kQuad) {
                EXPECT_EQ(run.status, 0) << run.err;
                EXPECT_EQ(ReadFile(kQuad), engine::gfx::QuadFileBytes());
                EXPECT_FALSE(run.LogRowMentions("ERROR", kQuad)) << run.log;
            } else if (run.status != 0) {
                EXPECT_EQ(run.status, 1) << run.err;
                EXPECT_TRUE(run.err.find(file) != std::string::npos ||
                            run.LogRowMentions("ERROR", file))
                    << "no message names the file\n"
                    << run.err;
            } else {
                EXPECT_TRUE(FallsBack(file)) << "the show went on as if nothing were wrong";
                EXPECT_TRUE(MayStillBeValid(file, damage) || run.LogRowMentions("WARNING", file) ||
                            run.LogRowMentions("ERROR", file))
                    << run.log;
            }
        }
    }
}

} // namespace
