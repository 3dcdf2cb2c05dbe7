#pragma once

#include "tools/generators/stereoBuffer.h"

#include <cstdint>
#include <vector>

namespace kovra::tools {

// Encodes the buffer as a constant-bit-rate stereo MP3 at its own sample
// rate. The first frame carries the encoder's delay and padding, so that
// gapless decoders give back exactly the samples put in. Empty when the
// encoder refuses the settings.
std::vector<std::uint8_t> EncodeMp3(const StereoBuffer& audio, int kilobitsPerSecond);

} // namespace kovra::tools
