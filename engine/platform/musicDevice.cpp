#include "engine/platform/musicDevice.h"

#include "engine/platform/musicClock.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

namespace engine::platform {

namespace {

using Clock = MusicClock::Clock;

constexpr size_t kBytesPerFrame = 2 * sizeof(std::int16_t);

// An open device together with the way its audio driver must be shut down.
struct AudioDevice {
    SDL_AudioDeviceID id = 0;
    bool dummyDriver = false;
};

AudioDevice OpenAudioDevice(int rate, SDL_AudioCallback callback, void* user) {
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024; // about 23 ms per callback: the clock's resolution
    want.callback = callback;
    want.userdata = user;
    // No allowed changes: SDL converts to whatever the device takes, so the
    // callback always consumes the file's own rate and layout.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        if (const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0))
            return {id, false};
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    // No sound output (a server, CI): the dummy driver still takes samples
    // at the playback rate, so the position runs as if heard.
    if (SDL_AudioInit("dummy") == 0) {
        if (const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0))
            return {id, true};
        SDL_AudioQuit();
    }
    return {};
}

void CloseAudioDevice(AudioDevice& device) {
    if (device.id == 0)
        return;
    SDL_CloseAudioDevice(device.id);
    if (device.dummyDriver)
        SDL_AudioQuit();
    else
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device = {};
}

class DeviceMusicStream final : public MusicStream {
public:
    explicit DeviceMusicStream(MusicPcm pcm)
        : mPcm(std::move(pcm)), mTotalBytes(mPcm.samples.size() * sizeof(std::int16_t)),
          mBytesPerSecond(static_cast<double>(mPcm.rate) * kBytesPerFrame) {}

    ~DeviceMusicStream() override { CloseAudioDevice(mDevice); }

    bool Open() {
        mDevice = OpenAudioDevice(mPcm.rate, &DeviceMusicStream::Feed, this);
        return mDevice.id != 0;
    }

    void Play() override {
        if (mStopped)
            return;
        mPlaying = true;
        if (mEnded)
            mTail.Play(Clock::now());
        else
            SDL_PauseAudioDevice(mDevice.id, 0);
    }

    void Pause() override {
        mPlaying = false;
        if (mEnded)
            mTail.Pause(Clock::now());
        else
            SDL_PauseAudioDevice(mDevice.id, 1);
    }

    void Stop() override {
        const double position = Position();
        mPlaying = false;
        mStopped = true;
        Release();
        mEnded = true;
        mTail.Pause(Clock::now());
        mTail.SetPosition(position, Clock::now());
    }

    double Position() override {
        if (!mEnded) {
            const std::int64_t endedAt = mEndedAt.load();
            if (endedAt == 0)
                return static_cast<double>(mCursor.load()) / mBytesPerSecond;
            End(static_cast<double>(mTotalBytes) / mBytesPerSecond,
                Clock::time_point(Clock::duration(endedAt)));
        }
        return mTail.Position(Clock::now());
    }

    void SetPosition(double seconds) override {
        if (mStopped)
            return;
        // Clamped first: NaN or a huge target would not fit the byte count.
        seconds = ClampMusicPosition(seconds);
        if (mEnded) {
            mTail.SetPosition(seconds, Clock::now());
            return;
        }
        const double frames = std::floor(seconds * mPcm.rate);
        if (frames * kBytesPerFrame >= static_cast<double>(mTotalBytes)) {
            End(seconds, Clock::now());
            return;
        }
        const size_t bytes = static_cast<size_t>(frames) * kBytesPerFrame;
        SDL_LockAudioDevice(mDevice.id);
        mCursor.store(bytes);
        mEndedAt.store(0);
        SDL_UnlockAudioDevice(mDevice.id);
    }

private:
    // Runs on SDL's audio thread: hands the next bytes to the device and
    // notes when the track ran out.
    static void Feed(void* user, Uint8* out, int length) {
        auto* self = static_cast<DeviceMusicStream*>(user);
        const size_t cursor = self->mCursor.load();
        const size_t count = std::min(static_cast<size_t>(length), self->mTotalBytes - cursor);
        std::memcpy(out, reinterpret_cast<const Uint8*>(self->mPcm.samples.data()) + cursor, count);
        std::memset(out + count, 0, static_cast<size_t>(length) - count);
        self->mCursor.store(cursor + count);
        if (cursor + count >= self->mTotalBytes && self->mEndedAt.load() == 0)
            self->mEndedAt.store(Clock::now().time_since_epoch().count());
    }

    // The track is over: the audio is freed and time goes on from `position`
    // on the monotonic clock, so whatever follows the music still sees time.
    void End(double position, Clock::time_point at) {
        Release();
        mEnded = true;
        if (mPlaying)
            mTail.Play(at);
        mTail.SetPosition(position, at);
    }

    void Release() {
        CloseAudioDevice(mDevice);
        mPcm.samples = {};
    }

    MusicPcm mPcm;
    const size_t mTotalBytes;
    const double mBytesPerSecond;
    AudioDevice mDevice;
    std::atomic<size_t> mCursor{0};
    std::atomic<std::int64_t> mEndedAt{0};
    bool mPlaying = false;
    bool mEnded = false;
    bool mStopped = false;
    MusicClock mTail;
};

} // namespace

std::unique_ptr<MusicStream> CreateDeviceMusic(MusicPcm pcm) {
    auto stream = std::make_unique<DeviceMusicStream>(std::move(pcm));
    if (!stream->Open())
        return nullptr;
    return stream;
}

} // namespace engine::platform
