#include "tools/generators/mp3Encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <memory>

namespace kovra::tools {

namespace {

using Encoder = std::unique_ptr<lame_global_flags, decltype(&lame_close)>;

// Frames handed to the encoder at a time, and the output room the encoder
// asks for that many.
constexpr int kChunk = 8192;
constexpr int kChunkBytes = kChunk * 5 / 4 + 7200;

} // namespace

std::vector<std::uint8_t> EncodeMp3(const StereoBuffer& audio, int kilobitsPerSecond) {
    Encoder encoder(lame_init(), &lame_close);
    if (!encoder)
        return {};
    lame_global_flags* flags = encoder.get();
    lame_set_in_samplerate(flags, audio.rate);
    lame_set_out_samplerate(flags, audio.rate);
    lame_set_num_channels(flags, 2);
    lame_set_mode(flags, JOINT_STEREO);
    lame_set_VBR(flags, vbr_off);
    lame_set_brate(flags, kilobitsPerSecond);
    // 7 is LAME's fast setting; the difference from its default is not
    // audible on this material but halves the encoding time.
    lame_set_quality(flags, 7);
    lame_set_bWriteVbrTag(flags, 1); // the info frame with delay and padding
    lame_set_write_id3tag_automatic(flags, 0);
    if (lame_init_params(flags) < 0)
        return {};

    std::vector<std::uint8_t> mp3;
    std::vector<unsigned char> chunk(kChunkBytes);
    for (std::size_t first = 0; first < audio.Frames(); first += kChunk) {
        const int count = static_cast<int>(std::min<std::size_t>(kChunk, audio.Frames() - first));
        const int written = lame_encode_buffer_ieee_float(
            flags, &audio.left[first], &audio.right[first], count, chunk.data(), kChunkBytes);
        if (written < 0)
            return {};
        mp3.insert(mp3.end(), chunk.begin(), chunk.begin() + written);
    }
    const int tail = lame_encode_flush(flags, chunk.data(), kChunkBytes);
    if (tail < 0)
        return {};
    mp3.insert(mp3.end(), chunk.begin(), chunk.begin() + tail);

    // The info frame was reserved at the start; now that the totals are
    // known, fill it in.
    const std::size_t tagSize = lame_get_lametag_frame(flags, chunk.data(), kChunkBytes);
    if (tagSize == 0 || tagSize > mp3.size())
        return {};
    std::copy(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(tagSize), mp3.begin());
    return mp3;
}

} // namespace kovra::tools
