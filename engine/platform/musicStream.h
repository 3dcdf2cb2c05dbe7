#pragma once

#include <functional>
#include <memory>
#include <string>

namespace engine::platform {

// One music stream whose playback position is the show's clock. Positions
// are seconds from the start of the track, counting what has been handed to
// the audio device, so pausing the stream stops the clock.
class MusicStream {
public:
    virtual ~MusicStream();

    // Starts playback, or resumes it where it was paused.
    virtual void Play() = 0;
    virtual void Pause() = 0;
    // Ends playback for good and releases the audio resources; the position
    // keeps its last value.
    virtual void Stop() = 0;
    virtual double Position() = 0;
    // Targets go through ClampMusicPosition first. A target past the end of
    // the track continues on the clock from there.
    virtual void SetPosition(double seconds) = 0;
};

// The latest position a seek may reach: a day, far past any track.
constexpr double kMaxMusicPosition = 24.0 * 60.0 * 60.0;

// A seek target the streams can use: negative ones and NaN become 0, and
// ones past kMaxMusicPosition (infinity included) become kMaxMusicPosition.
double ClampMusicPosition(double seconds);

// Whether the audio libraries linked at run time are those this code was
// written for (see musicStream.cpp).
bool MusicBackendSupported();

// Decodes an MP3 file and prepares it for playback, paused at 0; null when
// the file is missing or holds no decodable audio.
std::unique_ptr<MusicStream> OpenMusic(const std::string& path);

// A stream without sound whose position follows the monotonic clock, for
// when no music can be played: the show's time must still run.
std::unique_ptr<MusicStream> CreateSilentMusic();

// Replaces how OpenMusic opens files (tests script the stream this way); an
// empty opener restores the default. Returns the opener installed before.
using MusicOpener = std::function<std::unique_ptr<MusicStream>(const std::string& path)>;
MusicOpener SetMusicOpener(MusicOpener opener);

} // namespace engine::platform
