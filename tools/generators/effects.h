#pragma once

#include "tools/generators/stereoBuffer.h"

namespace kovra::tools {

// Adds a ping-pong echo of the buffer to itself: `delay` seconds between
// repeats, each `feedback` times the one before, heard at `mix`.
void AddEcho(StereoBuffer& buffer, double delay, double feedback, double mix);

// Adds a room reverb (parallel damped combs into all-passes, tuned apart
// per channel for width) at `mix`.
void AddReverb(StereoBuffer& buffer, double mix);

} // namespace kovra::tools
