#pragma once

#include "engine/core/captureProgress.h"
#include "engine/core/captureSettings.h"
#include "engine/core/frameSink.h"
#include "engine/core/singleton.h"
#include "engine/core/steppedClock.h"
#include "engine/core/windowSettings.h"
#include "engine/platform/interruptSignals.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace engine::platform {
class Device;
}

namespace engine::core {

// An offline capture in progress. It exists from SetCapture until the end of
// StartApplication: the window is made at its size, the timer steps by one
// frame per pass instead of following the music, and the renderer hands it
// every presented frame. A video is written under a temporary name and
// renamed to show.mp4 only once every asked frame is in it; SIGINT, SIGTERM
// or SIGHUP stop the capture early, and what it has is kept under a name
// that says so.
class FrameCapture : public pattern::Singleton<FrameCapture> {
public:
    FrameCapture();
    // Waits for a capture still open; its failure, if any, is only logged.
    ~FrameCapture() override;

    // Checks the settings, makes the folder, clears frames or videos of an
    // earlier capture there, chooses the output and starts catching the
    // interrupting signals; raises on bad settings.
    void Configure(const CaptureSettings& settings);
    const CaptureSettings& Settings() const { return mSettings; }
    // The window a capture draws into: its size, windowed, never waiting
    // for the display.
    void AdjustWindow(WindowSettings& settings) const;

    // Whether the current frame comes before the first one asked: the show
    // then moves without drawing. A signal stops the capture here as well.
    bool WarmingUp();
    // After each present: writes the frame when it is before the end,
    // otherwise asks the kernel to quit.
    void Take(platform::Device& device);
    // Waits until every frame is written and gives the video its name: the
    // failure, empty on success.
    std::string Finish();
    // The signal that stopped the capture before its end; 0 when none did.
    int Interruption() const { return mInterruption; }

    // Whether frames go to a video (else PNG files), and where.
    bool Video() const { return !mFfmpeg.empty(); }
    std::string OutputPath() const;
    // Where the video is while it is being written, and where an
    // interrupted one is kept.
    std::string TemporaryPath() const;
    std::string PartialPath() const;

    // Time the render thread spent on the capture: reading frames back and
    // waiting for the encoder to take them.
    struct Statistics {
        int frames = 0;
        double warmUpSeconds = 0.0;
        double readSeconds = 0.0;
        double waitSeconds = 0.0;
    };
    const Statistics& Stats() const { return mStats; }

private:
    bool OpenSink(int width, int height);
    void Stop(const std::string& failure);
    std::string Keep(const std::string& path);

    CaptureSettings mSettings;
    std::int64_t mFirst = 0;      // the first frame written
    std::int64_t mEnd = kNoFrame; // the frame that ends the capture
    std::chrono::steady_clock::time_point mWarmUpStart{};
    std::string mFfmpeg; // empty for PNG frames
    std::string mMusic;  // empty when there is none to mux in
    std::unique_ptr<FrameSink> mSink;
    std::unique_ptr<CaptureProgress> mProgress;
    std::unique_ptr<platform::InterruptSignals> mSignals;
    int mWidth = 0;
    int mHeight = 0;
    bool mStopped = false;
    bool mReachedEnd = false;
    int mInterruption = 0;
    std::string mFailure;
    Statistics mStats;
};

} // namespace engine::core
