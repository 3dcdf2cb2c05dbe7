#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace engine::platform {

// A whole track as interleaved 16-bit stereo samples.
struct MusicPcm {
    int rate = 0;
    std::vector<std::int16_t> samples;
};

// Longest track decoded; anything longer is refused rather than filling
// memory (the show's track is about two minutes).
constexpr double kMaxMusicSeconds = 600.0;

// Decodes an MP3 file completely, at the rate of its first frame (frames of
// another rate are resampled); empty when the file cannot be opened, holds
// no audio frames, exceeds kMaxMusicSeconds or changes its rate where the
// decoder cannot resample.
std::optional<MusicPcm> DecodeMp3(const std::string& path);

} // namespace engine::platform
