#include "engine/core/captureProgress.h"

#include <unistd.h>

#include <cmath>

namespace engine::core {

namespace {
constexpr auto kTerminalInterval = std::chrono::milliseconds(250);
constexpr auto kLogInterval = std::chrono::seconds(5);
} // namespace

CaptureProgress::CaptureProgress(double rate, double to, std::FILE* out)
    : mRate(rate), mTo(to), mOut(out), mTerminal(::isatty(::fileno(out)) != 0) {}

std::string CaptureProgress::Line(int frames, double time, double fps, double secondsLeft) {
    char text[128];
    int length =
        std::snprintf(text, sizeof text, "frame %d  show time %.3f s  %.1f fps", frames, time, fps);
    if (secondsLeft >= 0.0 && std::isfinite(secondsLeft)) {
        const long left = std::lround(secondsLeft);
        std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                      "  %ld:%02ld left", left / 60, left % 60);
    }
    return text;
}

std::string CaptureProgress::Current(Clock::time_point now) const {
    const double seconds = std::chrono::duration<double>(now - mStart).count();
    const double fps = seconds > 0.0 ? (mFrames - 1) / seconds : 0.0;
    double left = -1.0;
    if (std::isfinite(mTo) && fps > 0.0)
        left = std::max(0.0, std::ceil((mTo - mTime) * mRate) - 1.0) / fps;
    return Line(mFrames, mTime, fps, left);
}

void CaptureProgress::Frame(int frames, double time, Clock::time_point now) {
    if (frames == 1)
        mStart = mLastShown = now;
    mFrames = frames;
    mTime = time;
    mShownLast = false;
    if (now - mLastShown < (mTerminal ? Clock::duration(kTerminalInterval) : kLogInterval))
        return;
    mLastShown = now;
    mShownLast = true;
    std::fprintf(mOut, mTerminal ? "\r%s\x1b[K" : "%s\n", Current(now).c_str());
    std::fflush(mOut);
}

void CaptureProgress::Done() {
    if (mFrames == 0)
        return;
    if (!mShownLast || mTerminal)
        std::fprintf(mOut, mTerminal ? "\r%s\x1b[K\n" : "%s\n", Current(Clock::now()).c_str());
    std::fflush(mOut);
}

} // namespace engine::core
