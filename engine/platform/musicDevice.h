#pragma once

#include "engine/platform/musicDecoder.h"
#include "engine/platform/musicStream.h"

#include <memory>

namespace engine::platform {

// Plays a decoded track on an SDL audio device (SDL's dummy driver where no
// real device opens); null only when not even that works.
std::unique_ptr<MusicStream> CreateDeviceMusic(MusicPcm pcm);

} // namespace engine::platform
