#include "engine/core/frameCapture.h"

#include "engine/core/kernel.h"
#include "engine/core/log.h"
#include "engine/core/pngFrameSink.h"
#include "engine/core/timer.h"
#include "engine/core/videoFrameSink.h"
#include "engine/platform/childProcess.h"
#include "engine/platform/device.h"
#include "engine/platform/interruptSignals.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <regex>
#include <thread>

namespace engine::core {

namespace {

constexpr const char* kSource = ".\\frameCapture.cpp";
constexpr int kLargestEdge = 16384;
constexpr double kHighestRate = 1000.0;
// Frame numbers name the frame files and fit an int.
constexpr std::int64_t kLastFrame = std::numeric_limits<int>::max() - 1;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Frames of an earlier run in this capture's range would pass for frames of
// this one, and its video, whole or partial, for the outcome of this one.
// Frames outside the range are left alone: they may be another segment's.
// The walk steps with an error code: the range form's step throws.
void RemoveEarlierCapture(const std::filesystem::path& folder, std::int64_t firstFrame,
                          std::int64_t endFrame) {
    static const std::regex videoName("show(\\.partial)?\\.mp4|show\\.mp4\\.tmp");
    static const std::regex frameName("frame_([0-9]{6,15})\\.png");
    std::error_code walk, ignored;
    for (std::filesystem::directory_iterator entry(folder, walk), end; !walk && entry != end;
         entry.increment(walk)) {
        const std::string name = entry->path().filename().string();
        std::smatch number;
        const bool earlier =
            std::regex_match(name, videoName) ||
            (std::regex_match(name, number, frameName) && std::stoll(number[1]) >= firstFrame &&
             std::stoll(number[1]) < endFrame);
        if (earlier)
            std::filesystem::remove(entry->path(), ignored);
    }
}

} // namespace

FrameCapture::FrameCapture() = default;

// A sink still open is closed by its own destructor; the program is already
// ending on another error then.
FrameCapture::~FrameCapture() = default;

void FrameCapture::Configure(const CaptureSettings& requested) {
    Logging* log = Logging::Get();
    CaptureSettings settings = requested;
    if (std::isinf(settings.to))
        settings.to = ShowLength();
    if (settings.directory.empty())
        log->Error("Capture folder not given", kSource, __LINE__);
    if (!(settings.rate > 0.0 && settings.rate <= kHighestRate))
        log->Error("Capture rate must be above 0 and at most 1000 frames per second", kSource,
                   __LINE__);
    if (settings.width < 1 || settings.height < 1 || settings.width > kLargestEdge ||
        settings.height > kLargestEdge)
        log->Error("Capture size must be from 1x1 to 16384x16384", kSource, __LINE__);
    if (!(settings.from >= 0.0 && std::isfinite(settings.from)))
        log->Error("Capture start must be a time of 0 s or later", kSource, __LINE__);
    if (!(settings.to > settings.from))
        log->Error("Capture end must be after its start", kSource, __LINE__);
    const std::int64_t first =
        settings.firstFrame >= 0 ? settings.firstFrame : FirstFrameAt(settings.from, settings.rate);
    const std::int64_t end = settings.endFrame >= 0       ? settings.endFrame
                             : std::isfinite(settings.to) ? FirstFrameAt(settings.to, settings.rate)
                                                          : kNoFrame;
    if (first > kLastFrame)
        log->Error("Capture start must be at most frame " + std::to_string(kLastFrame), kSource,
                   __LINE__);
    // The frames before the first are moved through one by one: a start the
    // show never reaches would only keep the machine busy.
    if (static_cast<double>(first) / settings.rate >= ShowLength())
        log->Error("Capture start must be before the show's end at " + Number(ShowLength()) + " s",
                   kSource, __LINE__);
    if (end <= first)
        log->Error("Capture range holds no frame at " + Number(settings.rate) +
                       " frames per second",
                   kSource, __LINE__);
    std::error_code ec;
    std::filesystem::create_directories(settings.directory, ec);
    if (!std::filesystem::is_directory(settings.directory, ec))
        log->Error("Could not create capture folder " + settings.directory, kSource, __LINE__);

    // Given as frame numbers, the range is logged and kept in seconds too.
    if (settings.firstFrame >= 0)
        settings.from = static_cast<double>(first) / settings.rate;
    if (settings.endFrame >= 0)
        settings.to = static_cast<double>(end) / settings.rate;
    mSettings = settings;
    mFirst = first;
    mEnd = end;
    mFfmpeg = settings.output == CaptureSettings::Output::Automatic
                  ? platform::FindProgram("ffmpeg")
                  : std::string();
    mMusic = Video() && std::filesystem::exists(MusicPath(), ec) ? MusicPath() : "";
    RemoveEarlierCapture(settings.directory, first, end);
    mSignals = std::make_unique<platform::InterruptSignals>();
    log->Message("Capturing " + std::to_string(settings.width) + "x" +
                     std::to_string(settings.height) + " at " + Number(settings.rate) +
                     " frames per second from " + Number(settings.from) + " s to " +
                     Number(settings.to) + " s into " + OutputPath() +
                     (Video() && mMusic.empty() ? " without music" : ""),
                 kSource, __LINE__);
}

std::string FrameCapture::OutputPath() const {
    return mSettings.directory + (Video() ? "/show.mp4" : "/frame_NNNNNN.png");
}

std::string FrameCapture::TemporaryPath() const {
    return mSettings.directory + "/show.mp4.tmp";
}

// PNG frames are whole files each: those written stay where they are.
std::string FrameCapture::PartialPath() const {
    return Video() ? mSettings.directory + "/show.partial.mp4" : OutputPath();
}

void FrameCapture::AdjustWindow(WindowSettings& settings) const {
    settings.width = mSettings.width;
    settings.height = mSettings.height;
    settings.fullscreen = false;
    settings.presentInterval = kPresentIntervalImmediate;
}

void FrameCapture::Stop(const std::string& failure) {
    mStopped = true;
    if (!failure.empty()) {
        mFailure = failure;
        Logging::Get()->Warning("Capture stopped: " + failure, kSource, __LINE__);
    }
    Kernel::Get()->Quit();
}

bool FrameCapture::OpenSink(int width, int height) {
    mWidth = width;
    mHeight = height;
    if (Video()) {
        std::string error;
        mSink = VideoFrameSink::Start(mFfmpeg, width, height, mSettings.rate, mMusic,
                                      static_cast<double>(mFirst) / mSettings.rate, TemporaryPath(),
                                      error);
        if (!mSink) {
            Stop("Could not start ffmpeg: " + error);
            return false;
        }
    } else {
        mSink = std::make_unique<PngFrameSink>(mSettings.directory,
                                               std::max(1u, std::thread::hardware_concurrency()));
    }
    mProgress = std::make_unique<CaptureProgress>(mSettings.rate, mSettings.to, stderr);
    return true;
}

bool FrameCapture::WarmingUp() {
    const std::int64_t frame = Timer::mInstance ? Timer::mInstance->Frame() : mFirst;
    if (frame >= mFirst)
        return false;
    if (frame == 0)
        mWarmUpStart = Clock::now();
    if (const int signal = platform::InterruptSignals::Caught(); signal && !mStopped) {
        mInterruption = signal;
        Stop("");
    }
    return true;
}

void FrameCapture::Take(platform::Device& device) {
    if (mStopped)
        return;
    const std::int64_t number = Timer::mInstance ? Timer::mInstance->Frame() : mFirst;
    const double time = static_cast<double>(number) / mSettings.rate;
    if (number >= mEnd || number > kLastFrame) {
        mReachedEnd = true;
        Stop("");
        return;
    }
    if (const int signal = platform::InterruptSignals::Caught()) {
        mInterruption = signal;
        Stop("");
        return;
    }
    if (mSink) {
        if (const std::string failure = mSink->Failure(); !failure.empty()) {
            Stop(failure);
            return;
        }
    }
    const Clock::time_point start = Clock::now();
    platform::Surface* backBuffer = device.GetBackBuffer();
    CapturedFrame frame = mSink ? mSink->Queue().Acquire() : CapturedFrame{};
    if (device.ReadSurface(backBuffer, frame.rgba) != platform::Result::Ok) {
        Stop("Could not read the presented frame");
        return;
    }
    frame.width = backBuffer->Width();
    frame.height = backBuffer->Height();
    if (!mSink) {
        if (mFirst > 0) {
            mStats.warmUpSeconds = Seconds(mWarmUpStart, start);
            Logging::Get()->Message("Moved the show to frame " + std::to_string(mFirst) +
                                        " without drawing in " + Number(mStats.warmUpSeconds) +
                                        " s",
                                    kSource, __LINE__);
        }
        if (!OpenSink(frame.width, frame.height))
            return;
    }
    if (frame.width != mWidth || frame.height != mHeight) {
        Stop("The back buffer changed size during the capture");
        return;
    }
    frame.index = static_cast<int>(number);
    const Clock::time_point read = Clock::now();
    mSink->Queue().Push(std::move(frame));
    const Clock::time_point pushed = Clock::now();
    ++mStats.frames;
    mStats.readSeconds += Seconds(start, read);
    mStats.waitSeconds += Seconds(read, pushed);
    mProgress->Frame(mStats.frames, time, pushed);
}

std::string FrameCapture::Finish() {
    std::string failure = mFailure;
    if (mSink) {
        const std::string closed = mSink->Close();
        if (failure.empty())
            failure = closed;
        mSink.reset();
    }
    if (mProgress)
        mProgress->Done();
    // A signal after the last frame interrupts nothing; one that came while
    // the show was ending on its own, before the capture's end, does.
    if (!mReachedEnd && mInterruption == 0)
        mInterruption = platform::InterruptSignals::Caught();
    mSignals.reset();
    if (!failure.empty())
        return failure;
    const std::string kept = mInterruption ? PartialPath() : OutputPath();
    if (const std::string renamed = Keep(kept); !renamed.empty())
        return renamed;
    Logging* log = Logging::Get();
    const std::string frames = std::to_string(mStats.frames) + " frames";
    std::string done;
    if (mInterruption) {
        const std::int64_t asked = mEnd < kNoFrame ? mEnd - mFirst : -1;
        const std::string interrupted =
            "Interrupted after " + std::to_string(mStats.frames) +
            (asked >= 0 ? " of " + std::to_string(asked) : std::string()) + " frames";
        log->Warning(interrupted, kSource, __LINE__);
        std::fprintf(stderr, "%s\n", interrupted.c_str());
        done = mStats.frames > 0 ? "Kept " + frames + " in " + kept : "Kept no frames";
    } else {
        done = mStats.frames > 0 ? "Captured " + frames + " to " + kept : "Captured no frames";
    }
    log->Message(done, kSource, __LINE__);
    std::fprintf(stderr, "%s\n", done.c_str());
    return {};
}

// The video is renamed from its temporary name only once ffmpeg has closed
// it, so no show.mp4 is ever a video still being written.
std::string FrameCapture::Keep(const std::string& path) {
    if (!Video() || mStats.frames == 0)
        return {};
    std::error_code ec;
    std::filesystem::rename(TemporaryPath(), path, ec);
    return ec ? "Could not rename " + TemporaryPath() + " to " + path + ": " + ec.message()
              : std::string();
}

} // namespace engine::core
