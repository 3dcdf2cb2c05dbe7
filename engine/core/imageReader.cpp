#include "engine/core/imageReader.h"

#include <climits>
#include <memory>

// The one definition of stb_image in the engine.
#define STBI_MAX_DIMENSIONS 16384
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace engine::core::resources {

static_assert(STBI_MAX_DIMENSIONS == kMaxTextureEdge);

std::optional<TextureImage> ReadImage(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > INT_MAX)
        return std::nullopt;
    const auto* data = bytes.data();
    const int size = static_cast<int>(bytes.size());
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(data, size, &width, &height, &channels) || width <= 0 ||
        height <= 0 || width > kMaxTextureEdge || height > kMaxTextureEdge ||
        std::uint64_t(width) * std::uint64_t(height) > kMaxTextureTexels)
        return std::nullopt;
    const std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
        stbi_load_from_memory(data, size, &width, &height, &channels, 4), stbi_image_free);
    if (!pixels)
        return std::nullopt;

    TextureImage image;
    image.format =
        channels == 2 || channels == 4 ? platform::Format::A8R8G8B8 : platform::Format::X8R8G8B8;
    image.width = width;
    image.height = height;
    // stb gives R, G, B, A; the device wants B, G, R, A.
    std::vector<std::uint8_t> level(pixels.get(),
                                    pixels.get() + std::size_t(width) * std::size_t(height) * 4);
    for (std::size_t i = 0; i < level.size(); i += 4)
        std::swap(level[i], level[i + 2]);
    image.levels.push_back(std::move(level));
    GenerateMipChain(image);
    return image;
}

} // namespace engine::core::resources
