#include "engine/core/ddsReader.h"

#include <bit>
#include <cstring>

namespace engine::core::resources {

using platform::Format;

namespace {

constexpr std::size_t kHeaderBytes = 128; // magic and DDS_HEADER

// DDS_HEADER flags, pixel-format flags and caps.
constexpr std::uint32_t kFlagMipMapCount = 0x20000;
constexpr std::uint32_t kPixelAlphaPixels = 0x1;
constexpr std::uint32_t kPixelAlpha = 0x2;
constexpr std::uint32_t kPixelFourCC = 0x4;
constexpr std::uint32_t kPixelRgb = 0x40;
constexpr std::uint32_t kPixelLuminance = 0x20000;
constexpr std::uint32_t kCaps2CubeMap = 0x200;
constexpr std::uint32_t kCaps2AllFaces = 0xFC00;
constexpr std::uint32_t kCaps2Volume = 0x200000;

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) |
           (std::uint32_t{bytes[offset + 3]} << 24);
}

// One channel of an uncompressed layout: where its bits are and how to
// stretch them to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (mask != 0) {
            shift = std::countr_zero(mask);
            max = mask >> shift;
        }
    }
    bool Contiguous() const { return mask == 0 || ((max + 1) & max) == 0; }
    std::uint8_t Read(std::uint32_t pixel, std::uint8_t absent) const {
        if (mask == 0)
            return absent;
        const std::uint64_t value = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>((value * 255 + max / 2) / max);
    }
};

struct Layout {
    Format format = Format::Unknown; // of the decoded image
    bool compressed = false;
    int bytesPerPixel = 0; // in the file, uncompressed only
    bool luminance = false;
    Channel red{0}, green{0}, blue{0}, alpha{0};
};

std::optional<Layout> LayoutOf(std::span<const std::uint8_t> bytes) {
    const std::uint32_t pixelSize = Read32(bytes, 76);
    const std::uint32_t flags = Read32(bytes, 80);
    if (pixelSize != 32)
        return std::nullopt;
    Layout layout;
    if (flags & kPixelFourCC) {
        const auto fourCC = static_cast<Format>(Read32(bytes, 84));
        if (fourCC != Format::DXT1 && fourCC != Format::DXT3 && fourCC != Format::DXT5)
            return std::nullopt;
        layout.format = fourCC;
        layout.compressed = true;
        return layout;
    }
    if (!(flags & (kPixelRgb | kPixelLuminance | kPixelAlpha)))
        return std::nullopt;
    const std::uint32_t bits = Read32(bytes, 88);
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return std::nullopt;
    layout.bytesPerPixel = static_cast<int>(bits / 8);
    layout.luminance = (flags & kPixelLuminance) != 0;
    layout.red = Channel(flags & (kPixelRgb | kPixelLuminance) ? Read32(bytes, 92) : 0);
    layout.green = Channel(flags & kPixelRgb ? Read32(bytes, 96) : 0);
    layout.blue = Channel(flags & kPixelRgb ? Read32(bytes, 100) : 0);
    layout.alpha = Channel(flags & (kPixelAlphaPixels | kPixelAlpha) ? Read32(bytes, 104) : 0);
    const std::uint64_t usable = bits == 32 ? 0xFFFFFFFFull : (1ull << bits) - 1;
    for (const Channel* channel : {&layout.red, &layout.green, &layout.blue, &layout.alpha})
        if (channel->mask > usable || !channel->Contiguous())
            return std::nullopt;
    layout.format = layout.alpha.mask != 0 ? Format::A8R8G8B8 : Format::X8R8G8B8;
    return layout;
}

// Bytes of one level as stored in the file.
std::uint64_t StoredLevelSize(const Layout& layout, int width, int height) {
    if (layout.compressed)
        return platform::LevelSize(layout.format, width, height);
    return std::uint64_t(width) * std::uint64_t(height) * std::uint64_t(layout.bytesPerPixel);
}

std::vector<std::uint8_t> Convert(const Layout& layout, const std::uint8_t* source, int width,
                                  int height) {
    if (layout.compressed)
        return {source, source + StoredLevelSize(layout, width, height)};
    const std::size_t texels = std::size_t(width) * std::size_t(height);
    if (layout.bytesPerPixel == 4 && layout.red.mask == 0xFF0000 && layout.green.mask == 0xFF00 &&
        layout.blue.mask == 0xFF && !layout.luminance) {
        // Already the device's layout: only a missing alpha needs filling in.
        std::vector<std::uint8_t> result(source, source + texels * 4);
        if (layout.alpha.mask != 0xFF000000)
            for (std::size_t i = 0; i < texels; ++i)
                result[i * 4 + 3] = layout.alpha.Read(std::uint32_t{source[i * 4 + 3]} << 24, 255);
        return result;
    }
    std::vector<std::uint8_t> result(texels * 4);
    for (std::size_t i = 0; i < texels; ++i) {
        std::uint32_t pixel = 0;
        for (int b = 0; b < layout.bytesPerPixel; ++b)
            pixel |= std::uint32_t{source[i * layout.bytesPerPixel + b]} << (8 * b);
        std::uint8_t* out = &result[i * 4];
        out[2] = layout.red.Read(pixel, 0);
        out[1] = layout.luminance ? out[2] : layout.green.Read(pixel, 0);
        out[0] = layout.luminance ? out[2] : layout.blue.Read(pixel, 0);
        out[3] = layout.alpha.Read(pixel, 255);
    }
    return result;
}

} // namespace

bool IsDds(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 4 && std::memcmp(bytes.data(), "DDS ", 4) == 0;
}

std::optional<TextureImage> ReadDds(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kHeaderBytes || !IsDds(bytes) || Read32(bytes, 4) != 124)
        return std::nullopt;
    const std::uint32_t flags = Read32(bytes, 8);
    const std::uint32_t height = Read32(bytes, 12);
    const std::uint32_t width = Read32(bytes, 16);
    const std::uint32_t mipCount = Read32(bytes, 28);
    const std::uint32_t caps2 = Read32(bytes, 112);
    if (width == 0 || height == 0 || width > kMaxTextureEdge || height > kMaxTextureEdge ||
        std::uint64_t{width} * height > kMaxTextureTexels)
        return std::nullopt;
    const auto layout = LayoutOf(bytes);
    if (!layout || (caps2 & kCaps2Volume))
        return std::nullopt;

    TextureImage image;
    image.format = layout->format;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    if (caps2 & kCaps2CubeMap) {
        // Partial cube maps cannot be sampled as cubes.
        if ((caps2 & kCaps2AllFaces) != kCaps2AllFaces || width != height)
            return std::nullopt;
        image.faces = 6;
    }
    const int fullChain = FullMipChainLength(image.width, image.height);
    image.levelCount = (flags & kFlagMipMapCount) && mipCount > 0
                           ? static_cast<int>(std::min<std::uint32_t>(mipCount, 64))
                           : 1;
    if (image.levelCount > fullChain)
        return std::nullopt;

    std::uint64_t needed = 0;
    for (int level = 0; level < image.levelCount; ++level)
        needed += StoredLevelSize(*layout, image.LevelWidth(level), image.LevelHeight(level));
    if (needed * image.faces > bytes.size() - kHeaderBytes)
        return std::nullopt;

    const std::uint8_t* data = bytes.data() + kHeaderBytes;
    image.levels.reserve(static_cast<std::size_t>(image.faces) * image.levelCount);
    for (int face = 0; face < image.faces; ++face) {
        for (int level = 0; level < image.levelCount; ++level) {
            const int w = image.LevelWidth(level), h = image.LevelHeight(level);
            image.levels.push_back(Convert(*layout, data, w, h));
            data += StoredLevelSize(*layout, w, h);
        }
    }
    // A file without mips gets a full chain, whatever its format: DXT blocks
    // are decoded first, as the chain is filtered from texels.
    if (image.levelCount == 1) {
        if (layout->compressed)
            image = Decompress(image);
        GenerateMipChain(image);
    }
    return image;
}

} // namespace engine::core::resources
