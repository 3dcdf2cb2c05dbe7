#pragma once

#include "engine/core/textureImage.h"

#include <cstdint>
#include <vector>

namespace kovra::tools {

// The bytes of a DDS file holding an uncompressed A8R8G8B8 image with all
// the levels it has: the layout the engine's DDS reader takes without
// converting.
std::vector<std::uint8_t> EncodeDds(const engine::core::resources::TextureImage& image);

} // namespace kovra::tools
