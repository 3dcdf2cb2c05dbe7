#pragma once

#include "tools/generators/random.h"
#include "tools/generators/stereoBuffer.h"

namespace kovra::tools {

// Synthesised drums, mixed into `out` from `time` seconds at `gain`. The
// noisy ones draw their noise from `random`, so a fixed seed gives the same
// hits every run.
void AddKick(StereoBuffer& out, double time, double gain);
void AddSnare(StereoBuffer& out, double time, double gain, Random& random);
// `open` rings longer, like a half-open hi-hat.
void AddHat(StereoBuffer& out, double time, double gain, bool open, Random& random);
void AddCrash(StereoBuffer& out, double time, double gain, Random& random);
// A swelling noise sweep from `from` to `to` seconds that leads into a drop.
void AddRiser(StereoBuffer& out, double from, double to, double gain, Random& random);

} // namespace kovra::tools
