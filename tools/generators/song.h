#pragma once

#include "tools/generators/stereoBuffer.h"

#include <string>
#include <vector>

namespace kovra::tools {

// "Vantor Kelmsong", the show's music: 120 beats per minute in 4/4, so a
// bar is 2 s and the picture can cut on whole frames.
constexpr double kSongSeconds = 125.2;
constexpr double kBeatSeconds = 0.5;
constexpr double kBarSeconds = 4 * kBeatSeconds;

struct SongSection {
    std::string name;
    double start, end; // seconds
};

// intro, build, ribbon, dusk, climax, outro: the show's sections, which the
// arrangement follows.
const std::vector<SongSection>& SongSections();

// The first `seconds` of the song (at most kSongSeconds), mixed and
// limited to -1..1. Always the same samples for the same arguments.
StereoBuffer RenderSong(int sampleRate, double seconds = kSongSeconds);

} // namespace kovra::tools
