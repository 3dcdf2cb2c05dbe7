#pragma once

#include "engine/core/frameSink.h"

#include <string>
#include <thread>
#include <vector>

namespace engine::core {

// Writes frame k as folder/frame_00000k.png. Encoding runs on worker
// threads, so drawing the next frames goes on meanwhile.
class PngFrameSink final : public FrameSink {
public:
    PngFrameSink(std::string folder, unsigned workers);
    ~PngFrameSink() override;

    std::string Close() override;

    // "frame_000042.png" for frame 42.
    static std::string FileName(int index);

private:
    void Work();

    std::string mFolder;
    std::vector<std::thread> mWorkers;
};

} // namespace engine::core
