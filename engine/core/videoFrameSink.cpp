#include "engine/core/videoFrameSink.h"

#include <cstdio>

namespace engine::core {

namespace {

// A few frames in flight: enough to keep ffmpeg fed, little memory at 720p.
constexpr std::size_t kFramesInFlight = 4;

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

} // namespace

std::vector<std::string> VideoFrameSink::Arguments(const std::string& ffmpeg, int width, int height,
                                                   double rate, const std::string& music,
                                                   double from, const std::string& output) {
    std::vector<std::string> arguments = {ffmpeg,
                                          "-hide_banner",
                                          "-loglevel",
                                          "error",
                                          "-y",
                                          "-f",
                                          "rawvideo",
                                          "-pix_fmt",
                                          "rgba",
                                          "-s",
                                          std::to_string(width) + "x" + std::to_string(height),
                                          "-framerate",
                                          Number(rate),
                                          "-i",
                                          "pipe:0"};
    if (!music.empty())
        arguments.insert(arguments.end(), {"-ss", Number(from), "-i", music});
    arguments.insert(arguments.end(), {"-map", "0:v"});
    if (!music.empty())
        arguments.insert(arguments.end(), {"-map", "1:a", "-af", "apad", "-shortest", "-c:a", "aac",
                                           "-b:a", "192k"});
    // yuv420p needs an even size.
    arguments.insert(arguments.end(),
                     {"-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2", "-c:v", "libx264", "-preset", "fast",
                      "-crf", "18", "-pix_fmt", "yuv420p", "-movflags", "+faststart",
                      // Named by the format: the output's name need not say it.
                      "-f", "mp4", output});
    return arguments;
}

std::unique_ptr<VideoFrameSink> VideoFrameSink::Start(const std::string& ffmpeg, int width,
                                                      int height, double rate,
                                                      const std::string& music, double from,
                                                      const std::string& output,
                                                      std::string& error) {
    std::unique_ptr<platform::ChildProcess> encoder = platform::ChildProcess::Start(
        Arguments(ffmpeg, width, height, rate, music, from, output), error);
    if (!encoder)
        return nullptr;
    return std::unique_ptr<VideoFrameSink>(new VideoFrameSink(std::move(encoder)));
}

VideoFrameSink::VideoFrameSink(std::unique_ptr<platform::ChildProcess> encoder)
    : FrameSink(kFramesInFlight), mEncoder(std::move(encoder)) {
    mWriter = std::thread([this] { Work(); });
}

VideoFrameSink::~VideoFrameSink() {
    Close();
}

std::string VideoFrameSink::Close() {
    mQueue.Close();
    if (mWriter.joinable())
        mWriter.join();
    // The exit status says more than a broken pipe does.
    if (const int status = mEncoder->Finish(); status != 0)
        return "ffmpeg failed with exit status " + std::to_string(status);
    return Failure();
}

void VideoFrameSink::Work() {
    while (std::optional<CapturedFrame> frame = mQueue.Pop()) {
        if (Failure().empty() && !mEncoder->Write(frame->rgba.data(), frame->rgba.size()))
            Fail("ffmpeg stopped reading frames", frame->index);
        mQueue.Recycle(std::move(*frame));
    }
}

} // namespace engine::core
