#pragma once

#include <functional>
#include <istream>
#include <string>
#include <vector>

// A camera switch: from `frame` (in frames of 1/25 s) on, the scene is seen
// through the camera called `name`.
struct CameraCue {
    int frame = 0;
    std::string name;
};

// One cue per line: a frame number and a camera name separated by white
// space; anything after the name is ignored. Lines without both (blank
// lines among them) are skipped: a cue naming no camera would leave the
// scene without a view.
std::vector<CameraCue> ParseCameraSchedule(std::istream& in);
// The schedule file; a missing file gives no cues.
std::vector<CameraCue> ReadCameraSchedule(const std::string& path);

// The cues of `schedule` whose camera `exists`. Each other cue is reported
// through `warn` and left out: switching to a camera the scene does not have
// would leave every later frame without a view.
std::vector<CameraCue> KnownCameraCues(const std::vector<CameraCue>& schedule,
                                       const std::function<bool(const std::string&)>& exists,
                                       const std::function<void(const CameraCue&)>& warn);

// Activates, in order, every cue from `next` on whose frame lies strictly
// before `frame`; returns the index of the first cue still to come.
unsigned ApplyDueCues(const std::vector<CameraCue>& schedule, unsigned next, double frame,
                      const std::function<void(const std::string&)>& activate);
