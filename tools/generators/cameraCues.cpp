#include "tools/generators/cameraCues.h"

#include <array>

namespace kovra::tools {

namespace {

constexpr int kBar = 50; // frames: 2 s at 120 beats per minute in 4/4

} // namespace

std::vector<std::pair<int, std::string>> ShowCameraCues() {
    std::vector<std::pair<int, std::string>> cues;
    const auto cut = [&](int bar, int half, const char* camera) {
        cues.emplace_back((bar - 1) * kBar + half * kBar / 2, camera);
    };
    // Intro (bars 1-8): the valley from high, then along the shore.
    cut(1, 0, "CamValley");
    cut(5, 0, "CamShore");
    // Build (bars 9-20): grass and trunks, then the Beast; every two bars.
    const std::array<const char*, 6> build = {"CamGrass", "CamBeast",     "CamBeastSide",
                                              "CamGrass", "CamBeastSide", "CamBeast"};
    for (int i = 0; i < 6; ++i)
        cut(9 + 2 * i, 0, build[i]);
    // Ribbon (bars 21-32): following it through the trees, every bar.
    for (int bar = 21; bar <= 32; ++bar)
        cut(bar, 0, bar % 2 ? "CamRibbon" : "CamRibbonHigh");
    // Dusk (bars 33-48): wide over the water, every two bars.
    for (int bar = 33; bar <= 47; bar += 2)
        cut(bar, 0, (bar - 33) % 4 ? "CamDusk" : "CamLake");
    // Climax (bars 49-60): every half-bar, through all the cameras.
    const std::array<const char*, 9> climax = {"CamBeast",     "CamRibbon",     "CamLake",
                                               "CamBeastSide", "CamRibbonHigh", "CamGrass",
                                               "CamDusk",      "CamShore",      "CamValley"};
    for (int i = 0; i < 24; ++i)
        cut(49 + i / 2, i % 2, climax[static_cast<std::size_t>(i) % climax.size()]);
    // Outro (bar 61 to the end): one long pull-back.
    cut(61, 0, "CamValley");
    return cues;
}

std::string CameraScheduleText() {
    std::string text;
    for (const auto& [frame, camera] : ShowCameraCues())
        text += std::to_string(frame) + " " + camera + "\n";
    return text;
}

} // namespace kovra::tools
