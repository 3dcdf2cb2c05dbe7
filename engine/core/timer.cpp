#include "engine/core/timer.h"

#include "engine/core/log.h"

namespace engine::core {

namespace {
constexpr const char* kSource = ".\\timer.cpp";
constexpr const char* kMusicPath = "data/Vantor-Kelmsong.mp3";
} // namespace

Timer::Timer() {
    Name(L"Timer");
    Priority(10);
}

Timer::~Timer() = default;

void Timer::Start() {
    Logging* log = Logging::Get();
    if (!platform::MusicBackendSupported()) {
        RunSilently();
        log->Error("An incorrect version of SDL2 was loaded", kSource, 29);
    }
    mStream = platform::OpenMusic(kMusicPath);
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
    if (!mStream)
        return;
    const double seconds = mStream->Position();
    mTime = seconds;
    mSinceLast = seconds - mLastPosition;
    mLastPosition = seconds;
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
    Update();
    Update();
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
