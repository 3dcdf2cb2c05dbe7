#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace engine::core {

// The progress line of an offline capture on standard error: rewritten in
// place on a terminal a few times a second, a line every few seconds
// otherwise.
class CaptureProgress {
public:
    using Clock = std::chrono::steady_clock;

    CaptureProgress(double rate, double to, std::FILE* out);

    // After each written frame; `frames` counts them, `time` is the frame's
    // show time.
    void Frame(int frames, double time, Clock::time_point now);
    // The last line, kept on screen.
    void Done();

    // "frame 120  show time 4.000 s  31.2 fps  1:23 left"; without a known
    // end (secondsLeft < 0) the estimate is left out.
    static std::string Line(int frames, double time, double fps, double secondsLeft);

private:
    std::string Current(Clock::time_point now) const;

    double mRate;
    double mTo;
    std::FILE* mOut;
    bool mTerminal;
    Clock::time_point mStart{};
    Clock::time_point mLastShown{};
    int mFrames = 0;
    double mTime = 0.0;
    bool mShownLast = true;
};

} // namespace engine::core
