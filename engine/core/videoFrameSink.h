#pragma once

#include "engine/core/frameSink.h"
#include "engine/platform/childProcess.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace engine::core {

// Pipes raw frames to ffmpeg, which encodes them as H.264 (yuv420p) with
// the music, when there is some, from the capture's start time.
class VideoFrameSink final : public FrameSink {
public:
    // Null with `error` set when ffmpeg cannot be started.
    static std::unique_ptr<VideoFrameSink> Start(const std::string& ffmpeg, int width, int height,
                                                 double rate, const std::string& music, double from,
                                                 const std::string& output, std::string& error);
    ~VideoFrameSink() override;

    std::string Close() override;

    // The command line: frames from standard input, the music (when named)
    // from `from` seconds on, padded with silence and cut at the last frame.
    static std::vector<std::string> Arguments(const std::string& ffmpeg, int width, int height,
                                              double rate, const std::string& music, double from,
                                              const std::string& output);

private:
    explicit VideoFrameSink(std::unique_ptr<platform::ChildProcess> encoder);
    void Work();

    std::unique_ptr<platform::ChildProcess> mEncoder;
    std::thread mWriter;
};

} // namespace engine::core
