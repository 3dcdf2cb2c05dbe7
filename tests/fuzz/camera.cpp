// Reads any bytes as the game's camera schedule "data/camera.txt" and plays
// it through: no input may crash, hang or allocate without bound.
#include "fuzz/fuzzSupport.h"

#include "common/cameraSchedule.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kovra::fuzz::EnterScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const std::vector<CameraCue> schedule = ParseCameraSchedule(in);
    std::size_t activated = 0;
    unsigned next = 0;
    for (const double frame : {-1.0, 0.5, 50.0, 3130.0, std::numeric_limits<double>::infinity()})
        next = ApplyDueCues(schedule, next, frame, [&](const std::string& name) {
            if (name.empty())
                throw std::logic_error("cue without a camera name");
            ++activated;
        });
    if (activated != next || next > schedule.size())
        throw std::logic_error("cues applied out of step with the schedule");
    return 0;
}
