#pragma once

#include "engine/engineApi.h"

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
    double from = 0.0; ///< show time of the first frame, in seconds
    /// Frames are written while their show time is below this; left infinite,
    /// the show's length (SetShowLength) ends the capture, if one was given.
    double to = std::numeric_limits<double>::infinity();
    Output output = Output::Automatic;
};

} // namespace engine
