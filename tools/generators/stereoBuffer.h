#pragma once

#include <cstddef>
#include <vector>

namespace kovra::tools {

// Audio being mixed: two channels of float samples, nominally -1..1.
struct StereoBuffer {
    StereoBuffer(int sampleRate, std::size_t frames)
        : rate(sampleRate), left(frames, 0.0f), right(frames, 0.0f) {}

    std::size_t Frames() const { return left.size(); }
    // Mixes one frame in; frames past the end are dropped, so notes that
    // ring on beyond the track simply stop there.
    void Add(std::size_t frame, double l, double r) {
        if (frame < left.size()) {
            left[frame] += static_cast<float>(l);
            right[frame] += static_cast<float>(r);
        }
    }
    std::size_t FrameAt(double seconds) const {
        return seconds <= 0.0 ? 0 : static_cast<std::size_t>(seconds * rate + 0.5);
    }

    int rate;
    std::vector<float> left, right;
};

} // namespace kovra::tools
