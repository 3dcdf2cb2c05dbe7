#include "engine/core/timer.h"

#include "engine/core/frameCapture.h"
#include "engine/core/log.h"
#include "engine/core/steppedClock.h"

#include <limits>

namespace engine::core {

namespace {

constexpr const char* kSource = ".\\timer.cpp";

std::string& MusicPathSetting() {
    static std::string path = kDefaultMusicPath;
    return path;
}

double& ShowLengthSetting() {
    static double seconds = std::numeric_limits<double>::infinity();
    return seconds;
}

} // namespace

void SetMusicPath(std::string path) {
    MusicPathSetting() = std::move(path);
}

const std::string& MusicPath() {
    return MusicPathSetting();
}

void SetShowLength(double seconds) {
    ShowLengthSetting() = seconds;
}

double ShowLength() {
    return ShowLengthSetting();
}

Timer::Timer() {
    Name(L"Timer");
    Priority(10);
}

Timer::~Timer() = default;

void Timer::Start() {
    Logging* log = Logging::Get();
    if (const FrameCapture* capture = FrameCapture::mInstance) {
        // Offline the music is not played: time steps one frame per pass,
        // from 0 whatever the first captured frame, so that the frames
        // before it move the show as they do in a whole run.
        auto clock = std::make_unique<SteppedClock>(0.0, capture->Settings().rate);
        mStepped = clock.get();
        mStream = std::move(clock);
        mStream->Play();
        log->Message("Capturing: time steps by one frame per pass, the music is not played",
                     kSource, __LINE__);
        return;
    }
    if (!platform::MusicBackendSupported()) {
        RunSilently();
        log->Error("An incorrect version of SDL2 was loaded", kSource, 29);
    }
    mStream = platform::OpenMusic(MusicPath());
    if (!mStream) {
        RunSilently();
        log->Error("Failed to load music file. Sorry.", kSource, 36);
    }
    mStream->Play();
}

void Timer::RunSilently() {
    mStream = platform::CreateSilentMusic();
    mStream->Play();
}

void Timer::Update() {
    Read();
    if (mStepped)
        mStepped->Step();
}

void Timer::Read() {
    if (!mStream)
        return;
    const double seconds = mStream->Position();
    mTime = seconds;
    mSinceLast = seconds - mLastPosition;
    mLastPosition = seconds;
    if (mStepped)
        mFrame = mStepped->Steps();
}

void Timer::Pause() {
    mSinceLast = 0.0;
    mPaused = true;
    if (mStream)
        mStream->Pause();
}

void Timer::Resume() {
    if (!mPaused)
        return;
    mPaused = false;
    // Two readings of the paused stream: time is its position and since
    // last is 0, so the next pass measures from where the pause began.
    Read();
    Read();
    if (mStream)
        mStream->Play();
}

void Timer::Kill() {
    if (mStream)
        mStream->Stop();
}

void Timer::Seek(double seconds) {
    if (mStream)
        mStream->SetPosition(static_cast<float>(mTime + seconds));
}

} // namespace engine::core

// Nothing makes an FPSCounter; its singleton is exported all the same.
template class engine::pattern::Singleton<engine::core::FPSCounter>;
