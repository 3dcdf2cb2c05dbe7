#pragma once

#include "engine/core/textureImage.h"

#include <cstdint>
#include <optional>
#include <span>

namespace engine::core::resources {

// Whether the bytes start with the DDS magic "DDS ".
bool IsDds(std::span<const std::uint8_t> bytes);

// Decodes a DirectDraw Surface: DXT1/3/5 blocks are kept as they are,
// uncompressed RGB, luminance and alpha layouts of 8 to 32 bits become
// A8R8G8B8 (X8R8G8B8 without alpha). 2-D textures and complete cube maps,
// with or without mips; a file without mips gets a generated chain, a DXT
// one after its blocks are decoded to A8R8G8B8 (see docs/platform.md).
// Every size is checked against the bytes present; anything malformed,
// truncated, too large or unsupported gives nothing.
std::optional<TextureImage> ReadDds(std::span<const std::uint8_t> bytes);

} // namespace engine::core::resources
