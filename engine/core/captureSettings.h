#pragma once

#include "engine/engineApi.h"

#include <cstdint>
#include <limits>
#include <string>

namespace engine {

/// An offline capture: the show runs on a fixed-step clock instead of the
/// music and every presented frame is written to `directory`, as one video
/// with the music when ffmpeg is installed, else as numbered PNG files.
struct ENGINE_API CaptureSettings {
    enum class Output {
        Automatic, // video when ffmpeg is found, PNG frames otherwise
        Png,
    };

    std::string directory;
    double rate = 30.0; ///< frames per second; each pass advances 1 / rate
    int width = 1280;   ///< back buffer size while capturing
    int height = 720;
    /// Frame k shows time k / rate wherever a capture starts, so that
    /// captures of adjacent ranges join into the whole. The first frame is
    /// the first at or after `from` seconds, and frames are written while
    /// their time is below `to`; left infinite, the show's length
    /// (SetShowLength) ends the capture, if one was given.
    double from = 0.0;
    double to = std::numeric_limits<double>::infinity();
    /// An exact range of frame numbers instead, from firstFrame to endFrame - 1;
    /// -1 leaves that end to `from` or `to`.
    std::int64_t firstFrame = -1;
    std::int64_t endFrame = -1;
    Output output = Output::Automatic;
};

} // namespace engine
