// The whole show, captured offline by the built program at five moments, one
// in each section, against the pictures kept in tests/showfx/golden
// (scripts/regenerate-goldens.sh rewrites them after a deliberate change).
#include "support/scratchDir.h"
#include "support/showData.h"

#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

// Every 24 s from 6 s, at 320 x 180 and 25 frames per second: each moment
// is a capture of one frame that moves the show there without drawing, into
// one folder, as segments of a whole run are.
constexpr int kFrames = 5;
constexpr int kFirstFrame = 150;
constexpr int kFramesApart = 600;

struct Image {
    int width = 0, height = 0;
    std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> pixels{nullptr, stbi_image_free};
};

Image Load(const fs::path& path) {
    Image image;
    int channels = 0;
    image.pixels.reset(stbi_load(path.c_str(), &image.width, &image.height, &channels, 3));
    return image;
}

TEST(ShowGolden, FiveMomentsOfTheShowLookAsKept) {
    kovra::test::ScratchDir dir(false);
    kovra::test::LinkShowData();
    for (int i = 0; i < kFrames; ++i) {
        const int frame = kFirstFrame + kFramesApart * i;
        const std::string command =
            std::string("SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy '") + KOVRA_GAME +
            "' nodialog --capture frames --frames png --size 320x180 --rate 25 --frames-from " +
            std::to_string(frame) + " --frames-to " + std::to_string(frame + 1) +
            " >out.txt 2>err.txt";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << kovra::test::ReadFile("err.txt");
    }
    const std::string log = kovra::test::ReadFile("data/log.html");
    EXPECT_EQ(log.find("class=\"warning\""), std::string::npos) << log;
    EXPECT_EQ(log.find("class=\"error\""), std::string::npos) << log;

    for (int i = 0; i < kFrames; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06d.png", kFirstFrame + kFramesApart * i);
        const Image frame = Load(fs::path("frames") / name);
        std::snprintf(name, sizeof name, "show_%03d.png", 6 + 24 * i);
        const Image golden = Load(fs::path(KOVRA_SOURCE_DIR) / "tests/showfx/golden" / name);
        ASSERT_TRUE(frame.pixels && golden.pixels) << name;
        ASSERT_EQ(frame.width, golden.width) << name;
        ASSERT_EQ(frame.height, golden.height) << name;
        // Another Mesa may round differently: a small mean difference and a
        // few stray pixels are allowed, a changed look is not.
        const std::size_t count = std::size_t(frame.width) * std::size_t(frame.height) * 3;
        double sum = 0.0;
        std::size_t far = 0;
        for (std::size_t k = 0; k < count; ++k) {
            const int difference =
                std::abs(int(frame.pixels.get()[k]) - int(golden.pixels.get()[k]));
            sum += difference;
            far += difference > 48 ? 1 : 0;
        }
        EXPECT_LT(sum / double(count), 3.0) << name;
        EXPECT_LT(double(far) / double(count), 0.01) << name;
    }
}

} // namespace
