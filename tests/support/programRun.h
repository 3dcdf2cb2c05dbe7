#pragma once

#include "support/scratchDir.h"

#include <sys/wait.h>

#include <cstdlib>
#include <string>

namespace kovra::test {

// What a program left: its exit status (-1 when a signal ended it) and its
// standard output and error.
struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the program through the shell on SDL's offscreen and dummy drivers,
// `environment` (NAME=value words) before it; its output is kept in
// out.txt and err.txt of the folder `outputs`.
inline Outcome RunProgram(const std::string& program, const std::string& arguments,
                          const std::string& outputs = ".", const std::string& environment = "") {
    const std::string command = "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy " + environment +
                                " '" + program + "' " + arguments + " >" + outputs + "/out.txt 2>" +
                                outputs + "/err.txt";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(outputs + "/out.txt"),
            ReadFile(outputs + "/err.txt")};
}

} // namespace kovra::test
