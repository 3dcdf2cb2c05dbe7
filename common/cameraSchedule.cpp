#include "common/cameraSchedule.h"

#include <fstream>
#include <sstream>

std::vector<CameraCue> ParseCameraSchedule(std::istream& in) {
    std::vector<CameraCue> schedule;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        CameraCue cue;
        if (words >> cue.frame >> cue.name)
            schedule.push_back(cue);
    }
    return schedule;
}

std::vector<CameraCue> ReadCameraSchedule(const std::string& path) {
    std::ifstream file(path);
    if (!file)
        return {};
    return ParseCameraSchedule(file);
}

std::vector<CameraCue> KnownCameraCues(const std::vector<CameraCue>& schedule,
                                       const std::function<bool(const std::string&)>& exists,
                                       const std::function<void(const CameraCue&)>& warn) {
    std::vector<CameraCue> known;
    for (const CameraCue& cue : schedule) {
        if (exists(cue.name))
            known.push_back(cue);
        else
            warn(cue);
    }
    return known;
}

unsigned ApplyDueCues(const std::vector<CameraCue>& schedule, unsigned next, double frame,
                      const std::function<void(const std::string&)>& activate) {
    while (next < schedule.size() && frame > schedule[next].frame)
        activate(schedule[next++].name);
    return next;
}
