#include "engine/platform/musicStream.h"

#include "engine/platform/musicClock.h"
#include "engine/platform/musicDecoder.h"
#include "engine/platform/musicDevice.h"

#include <SDL.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>

// The decoder calls used here (forced stereo, format restriction by rate,
// scanning for the length) are all in libmpg123's API version 44.
static_assert(MPG123_API_VERSION >= 44, "libmpg123 with API version 44 or newer required");

namespace engine::platform {

namespace {

class SilentMusicStream final : public MusicStream {
public:
    void Play() override {
        if (!mStopped)
            mClock.Play(MusicClock::Clock::now());
    }
    void Pause() override { mClock.Pause(MusicClock::Clock::now()); }
    void Stop() override {
        mClock.Pause(MusicClock::Clock::now());
        mStopped = true;
    }
    double Position() override { return mClock.Position(MusicClock::Clock::now()); }
    void SetPosition(double seconds) override {
        if (!mStopped)
            mClock.SetPosition(ClampMusicPosition(seconds), MusicClock::Clock::now());
    }

private:
    MusicClock mClock;
    bool mStopped = false;
};

std::unique_ptr<MusicStream> OpenMp3(const std::string& path) {
    std::optional<MusicPcm> pcm = DecodeMp3(path);
    if (!pcm)
        return nullptr;
    if (std::unique_ptr<MusicStream> stream = CreateDeviceMusic(std::move(*pcm)))
        return stream;
    // Not even SDL's dummy driver opened: the music is lost but the show's
    // time must still run.
    return CreateSilentMusic();
}

MusicOpener& Opener() {
    static MusicOpener opener;
    return opener;
}

} // namespace

MusicStream::~MusicStream() = default;

double ClampMusicPosition(double seconds) {
    if (std::isnan(seconds) || seconds < 0.0)
        return 0.0;
    return std::min(seconds, kMaxMusicPosition);
}

// The player is written against SDL 2's audio device interface: the library
// loaded at run time must be SDL 2 and no older than the headers it was
// built with.
bool MusicBackendSupported() {
    SDL_version linked;
    SDL_GetVersion(&linked);
    return linked.major == 2 &&
           SDL_VERSIONNUM(linked.major, linked.minor, linked.patch) >= SDL_COMPILEDVERSION;
}

std::unique_ptr<MusicStream> OpenMusic(const std::string& path) {
    if (Opener())
        return Opener()(path);
    return OpenMp3(path);
}

std::unique_ptr<MusicStream> CreateSilentMusic() {
    return std::make_unique<SilentMusicStream>();
}

MusicOpener SetMusicOpener(MusicOpener opener) {
    MusicOpener previous = std::move(Opener());
    Opener() = std::move(opener);
    return previous;
}

} // namespace engine::platform
