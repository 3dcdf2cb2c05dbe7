#pragma once

#include "engine/core/textureImage.h"

#include <cstdint>
#include <optional>
#include <span>

namespace engine::core::resources {

// Decodes a PNG, JPEG, TGA or BMP file into A8R8G8B8 (X8R8G8B8 when the file
// has no alpha) with a full mip chain. Sizes are checked against the limits
// before any pixel is decoded; a broken file gives nothing.
std::optional<TextureImage> ReadImage(std::span<const std::uint8_t> bytes);

// Whether every chunk of a PNG, up to its end chunk, lies within the file and
// its first image data chunk holds bytes, as the decoder assumes; true for
// anything that is not a PNG.
bool PngChunksFit(std::span<const std::uint8_t> bytes);

} // namespace engine::core::resources
