#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

namespace kovra::fuzz {

// Runs the target in an empty private folder: without a "data" folder the
// log the readers report to writes nothing, however many inputs fail.
inline void EnterScratchFolder() {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("kovra-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::current_path(dir);
}

} // namespace kovra::fuzz
