#include "engine/platform/musicDecoder.h"

#include <mpg123.h>

#include <memory>

namespace engine::platform {

namespace {

using Handle = std::unique_ptr<mpg123_handle, decltype(&mpg123_delete)>;

bool InitialiseLibrary() {
    // Required before any handle on older libmpg123 releases, a no-op since.
    static const bool initialised = mpg123_init() == MPG123_OK;
    return initialised;
}

// Only 16-bit stereo at the file's own rate: mono tracks are doubled by the
// decoder, so the player handles one layout.
void RestrictOutputFormat(mpg123_handle* handle) {
    mpg123_format_none(handle);
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
        mpg123_format(handle, rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);
}

// From the first frame on, the output keeps that frame's rate: frames of
// another rate later in the stream are resampled by the decoder, so that
// the player's clock (bytes over one rate) runs at the speed of the music.
bool FixOutputRate(mpg123_handle* handle, long rate) {
    return mpg123_format_none(handle) == MPG123_OK &&
           mpg123_format(handle, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16) == MPG123_OK;
}

} // namespace

std::optional<MusicPcm> DecodeMp3(const std::string& path) {
    if (!InitialiseLibrary())
        return std::nullopt;
    int error = MPG123_OK;
    Handle handle(mpg123_new(nullptr, &error), &mpg123_delete);
    if (!handle)
        return std::nullopt;
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO, 0.0);
    RestrictOutputFormat(handle.get());
    if (mpg123_open(handle.get(), path.c_str()) != MPG123_OK)
        return std::nullopt;

    MusicPcm pcm;
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK)
        return std::nullopt;
    if (!FixOutputRate(handle.get(), rate))
        return std::nullopt;
    pcm.rate = static_cast<int>(rate);
    // Refuse an overlong track before allocating for it.
    if (mpg123_scan(handle.get()) == MPG123_OK) {
        const off_t frames = mpg123_length(handle.get());
        if (frames > kMaxMusicSeconds * pcm.rate)
            return std::nullopt;
        if (frames > 0)
            pcm.samples.reserve(static_cast<size_t>(frames) * 2);
    }

    unsigned char buffer[32768];
    bool tooLong = false;
    for (;;) {
        size_t done = 0;
        const int result = mpg123_read(handle.get(), buffer, sizeof buffer, &done);
        const auto* samples = reinterpret_cast<const std::int16_t*>(buffer);
        pcm.samples.insert(pcm.samples.end(), samples, samples + done / sizeof(std::int16_t));
        if (pcm.samples.size() > kMaxMusicSeconds * pcm.rate * 2) {
            tooLong = true;
            break;
        }
        // Should the decoder still change the rate (a build without
        // resampling), the file is refused: its clock would run wrong.
        if (result == MPG123_NEW_FORMAT &&
            (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK ||
             rate != pcm.rate))
            return std::nullopt;
        if (result == MPG123_ERR && mpg123_errcode(handle.get()) == MPG123_BAD_OUTFORMAT)
            return std::nullopt;
        // A damaged frame the decoder cannot step over ends the track there.
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
            break;
    }
    mpg123_close(handle.get());
    if (tooLong || pcm.rate <= 0 || pcm.samples.empty())
        return std::nullopt;
    return pcm;
}

} // namespace engine::platform
