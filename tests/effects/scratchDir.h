#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kovra::test {

// Moves the process into a fresh folder with a "data" folder for the
// lifetime of the object, so that relative paths land somewhere private.
class ScratchDir {
public:
    ScratchDir() {
        namespace fs = std::filesystem;
        mPrevious = fs::current_path();
        mPath = fs::temp_directory_path() /
                ("kovra-effects-" + std::to_string(::getpid()) + "-" + std::to_string(sCounter++));
        fs::remove_all(mPath);
        fs::create_directories(mPath / "data");
        fs::current_path(mPath);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::current_path(mPrevious, ec);
        std::filesystem::remove_all(mPath, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return mPath; }

private:
    static inline int sCounter = 0;
    std::filesystem::path mPrevious;
    std::filesystem::path mPath;
};

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace kovra::test
