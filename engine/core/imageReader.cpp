#include "engine/core/imageReader.h"

#include <algorithm>
#include <climits>
#include <memory>

// The one definition of stb_image in the engine, limited to the formats
// textures come in.
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#define STBI_MAX_DIMENSIONS 16384
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace engine::core::resources {

static_assert(STBI_MAX_DIMENSIONS == kMaxTextureEdge);

namespace {

std::uint32_t Read16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return bytes[offset] | (bytes[offset + 1] << 8);
}

// PNG and JPEG decoding notices missing data, but stb reads zeros past the
// end of a TGA or BMP; those files must hold at least the bytes their
// header promises.
bool HoldsPixels(std::span<const std::uint8_t> bytes, std::uint64_t width, std::uint64_t height) {
    const bool png = bytes.size() >= 8 && bytes[0] == 0x89 && bytes[1] == 'P';
    const bool jpeg = bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8;
    if (png || jpeg)
        return true;
    if (bytes.size() >= 30 && bytes[0] == 'B' && bytes[1] == 'M') {
        const std::uint64_t dataOffset =
            Read16(bytes, 10) | (std::uint64_t{Read16(bytes, 12)} << 16);
        const std::uint64_t rowBytes = (width * Read16(bytes, 28) + 31) / 32 * 4;
        return dataOffset + rowBytes * height <= bytes.size();
    }
    if (bytes.size() < 18)
        return false;
    // TGA: an ID field, an optional colour map, then raw or run-length pixels.
    const std::uint64_t pixelBytes = (bytes[16] + 7u) / 8u;
    const std::uint64_t mapBytes = bytes[1] ? Read16(bytes, 5) * ((bytes[7] + 7u) / 8u) : 0;
    const std::uint64_t texels = width * height;
    const bool runLength = bytes[2] >= 9;
    // A run packet covers at most 128 texels.
    const std::uint64_t pixelData =
        runLength ? (texels + 127) / 128 * (1 + pixelBytes) : texels * pixelBytes;
    return 18 + bytes[0] + mapBytes + pixelData <= bytes.size();
}

// Whether stb reads the bytes as a JPEG: a start-of-image marker, which
// may follow any number of 0xFF fill bytes.
bool IsJpeg(std::span<const std::uint8_t> bytes) {
    std::size_t at = 0;
    while (at < bytes.size() && bytes[at] == 0xFF)
        ++at;
    return at > 0 && at < bytes.size() && bytes[at] == 0xD8;
}

// stb_image 2.27 trusts the code counts of a JPEG huffman table: more than
// 256 codes in one table write past its arrays. Every table of every
// define-huffman-table segment (0xFF 0xC4, read as stb reads it, with zeros
// past the end of the file) is checked before stb sees the file;
// entropy-coded data never holds that byte pair.
bool HuffmanTablesFit(std::span<const std::uint8_t> bytes) {
    if (!IsJpeg(bytes))
        return true;
    for (std::size_t marker = 0; marker + 4 <= bytes.size(); ++marker) {
        if (bytes[marker] != 0xFF || bytes[marker + 1] != 0xC4)
            continue;
        long left = long(bytes[marker + 2] << 8 | bytes[marker + 3]) - 2;
        std::size_t at = marker + 4;
        while (left > 0 && at < bytes.size()) {
            const int classAndSlot = bytes[at];
            if (classAndSlot >> 4 > 1 || (classAndSlot & 15) > 3)
                break; // stb refuses the segment itself
            int codes = 0;
            for (std::size_t i = 1; i <= 16 && at + i < bytes.size(); ++i)
                codes += bytes[at + i];
            if (codes > 256)
                return false;
            left -= 17 + codes;
            at += 17 + std::size_t(codes);
        }
    }
    return true;
}

} // namespace

// stb_image 2.27 trusts a PNG's chunk lengths: an image data chunk that
// claims two gigabytes is allocated before its bytes are found missing. It
// also copies each image data chunk onto the end of the data gathered so
// far, a null pointer before the first chunk, so an empty first chunk is a
// copy from and into null.
bool PngChunksFit(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 8 || bytes[0] != 0x89 || bytes[1] != 'P')
        return true;
    bool dataSeen = false;
    for (std::size_t at = 8; at + 8 <= bytes.size();) {
        const std::uint64_t length = std::uint64_t{bytes[at]} << 24 | bytes[at + 1] << 16 |
                                     bytes[at + 2] << 8 | bytes[at + 3];
        const auto type = [&](const char* name) {
            return std::equal(name, name + 4, bytes.begin() + std::ptrdiff_t(at + 4));
        };
        if (at + 12 + length > bytes.size()) // length, type, data and checksum
            return false;
        if (type("IDAT")) {
            if (!dataSeen && length == 0)
                return false;
            dataSeen = true;
        }
        if (type("IEND"))
            break;
        at += 12 + length;
    }
    return true;
}

std::optional<TextureImage> ReadImage(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > INT_MAX)
        return std::nullopt;
    const auto* data = bytes.data();
    const int size = static_cast<int>(bytes.size());
    int width = 0, height = 0, channels = 0;
    if (!HuffmanTablesFit(bytes) || !PngChunksFit(bytes) ||
        !stbi_info_from_memory(data, size, &width, &height, &channels) || width <= 0 ||
        height <= 0 || width > kMaxTextureEdge || height > kMaxTextureEdge ||
        std::uint64_t(width) * std::uint64_t(height) > kMaxTextureTexels ||
        !HoldsPixels(bytes, width, height))
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
