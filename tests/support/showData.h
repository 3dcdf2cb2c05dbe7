#pragma once

#include <filesystem>

namespace kovra::test {

// The show's data as the build left it, linked into the current (scratch)
// folder, so that a run's log stays there.
inline void LinkShowData() {
    namespace fs = std::filesystem;
    fs::create_directories("data");
    for (const auto& entry : fs::directory_iterator(fs::path(KOVRA_SOURCE_DIR) / "data"))
        if (entry.path().filename() != "log.html" && entry.path().filename() != "quad.kvr")
            fs::create_directory_symlink(entry.path(), "data" / entry.path().filename());
}

} // namespace kovra::test
