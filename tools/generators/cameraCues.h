#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kovra::tools {

// The show's cuts: (frame of 1/25 s, camera name), ascending, all on bars
// (50 frames) or, in the climax, on half-bars.
std::vector<std::pair<int, std::string>> ShowCameraCues();

// "data/camera.txt": one "frame name" line per cue.
std::string CameraScheduleText();

} // namespace kovra::tools
