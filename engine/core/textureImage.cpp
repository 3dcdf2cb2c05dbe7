#include "engine/core/textureImage.h"

#include <algorithm>
#include <array>

namespace engine::core::resources {

using platform::Format;

int FullMipChainLength(int width, int height) {
    int edge = std::max(width, height);
    int count = 1;
    while (edge > 1) {
        edge /= 2;
        ++count;
    }
    return count;
}

namespace {

// Each destination texel averages the 2 x 2 block above it; on an odd or
// one-texel edge the last column or row is used twice.
std::vector<std::uint8_t> Downsample(const std::vector<std::uint8_t>& source, int width,
                                     int height) {
    const int w = std::max(1, width / 2);
    const int h = std::max(1, height / 2);
    std::vector<std::uint8_t> result(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        const int y0 = std::min(2 * y, height - 1);
        const int y1 = std::min(2 * y + 1, height - 1);
        for (int x = 0; x < w; ++x) {
            const int x0 = std::min(2 * x, width - 1);
            const int x1 = std::min(2 * x + 1, width - 1);
            const std::uint8_t* a = &source[(static_cast<std::size_t>(y0) * width + x0) * 4];
            const std::uint8_t* b = &source[(static_cast<std::size_t>(y0) * width + x1) * 4];
            const std::uint8_t* c = &source[(static_cast<std::size_t>(y1) * width + x0) * 4];
            const std::uint8_t* d = &source[(static_cast<std::size_t>(y1) * width + x1) * 4];
            std::uint8_t* out = &result[(static_cast<std::size_t>(y) * w + x) * 4];
            for (int i = 0; i < 4; ++i)
                out[i] = static_cast<std::uint8_t>((a[i] + b[i] + c[i] + d[i] + 2) / 4);
        }
    }
    return result;
}

std::uint32_t Read16(const std::uint8_t* p) {
    return p[0] | (p[1] << 8);
}

// Expands a 5:6:5 colour to bytes B, G, R.
std::array<unsigned, 3> Expand565(std::uint32_t c) {
    const unsigned r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return {(b * 255 + 15) / 31, (g * 255 + 31) / 63, (r * 255 + 15) / 31};
}

// Writes the 4 x 4 texels of one block as B, G, R, A into `texels`.
void DecodeColourBlock(const std::uint8_t* block, bool threeColourMode,
                       std::uint8_t (&texels)[16][4]) {
    const std::uint32_t c0 = Read16(block), c1 = Read16(block + 2);
    const auto a = Expand565(c0), b = Expand565(c1);
    std::array<std::array<unsigned, 4>, 4> palette{};
    for (int i = 0; i < 3; ++i) {
        palette[0][i] = a[i];
        palette[1][i] = b[i];
        if (!threeColourMode || c0 > c1) {
            palette[2][i] = (2 * a[i] + b[i] + 1) / 3;
            palette[3][i] = (a[i] + 2 * b[i] + 1) / 3;
        } else {
            palette[2][i] = (a[i] + b[i]) / 2;
            palette[3][i] = 0;
        }
    }
    palette[0][3] = palette[1][3] = palette[2][3] = 255;
    palette[3][3] = threeColourMode && c0 <= c1 ? 0 : 255;
    const std::uint32_t bits =
        block[4] | (block[5] << 8) | (block[6] << 16) | (std::uint32_t{block[7]} << 24);
    for (int t = 0; t < 16; ++t)
        for (int i = 0; i < 4; ++i)
            texels[t][i] = static_cast<std::uint8_t>(palette[(bits >> (2 * t)) & 3][i]);
}

void DecodeExplicitAlpha(const std::uint8_t* block, std::uint8_t (&texels)[16][4]) {
    for (int t = 0; t < 16; ++t) {
        const unsigned nibble = (block[t / 2] >> (4 * (t % 2))) & 15;
        texels[t][3] = static_cast<std::uint8_t>(nibble * 17);
    }
}

void DecodeInterpolatedAlpha(const std::uint8_t* block, std::uint8_t (&texels)[16][4]) {
    const unsigned a0 = block[0], a1 = block[1];
    std::array<unsigned, 8> palette{a0, a1};
    for (unsigned i = 1; i < 7; ++i) {
        if (a0 > a1)
            palette[i + 1] = ((7 - i) * a0 + i * a1 + 3) / 7;
        else if (i < 5)
            palette[i + 1] = ((5 - i) * a0 + i * a1 + 2) / 5;
    }
    if (a0 <= a1) {
        palette[6] = 0;
        palette[7] = 255;
    }
    std::uint64_t bits = 0;
    for (int i = 0; i < 6; ++i)
        bits |= std::uint64_t{block[2 + i]} << (8 * i);
    for (int t = 0; t < 16; ++t)
        texels[t][3] = static_cast<std::uint8_t>(palette[(bits >> (3 * t)) & 7]);
}

std::vector<std::uint8_t> DecompressLevel(Format format, const std::vector<std::uint8_t>& blocks,
                                          int width, int height) {
    std::vector<std::uint8_t> result(static_cast<std::size_t>(width) * height * 4);
    const int blockBytes = format == Format::DXT1 ? 8 : 16;
    const int blocksWide = (width + 3) / 4;
    for (int by = 0; by < (height + 3) / 4; ++by) {
        for (int bx = 0; bx < blocksWide; ++bx) {
            const std::uint8_t* block =
                blocks.data() + (static_cast<std::size_t>(by) * blocksWide + bx) * blockBytes;
            std::uint8_t texels[16][4];
            if (format == Format::DXT1) {
                DecodeColourBlock(block, true, texels);
            } else {
                DecodeColourBlock(block + 8, false, texels);
                if (format == Format::DXT3)
                    DecodeExplicitAlpha(block, texels);
                else
                    DecodeInterpolatedAlpha(block, texels);
            }
            for (int t = 0; t < 16; ++t) {
                const int x = bx * 4 + t % 4, y = by * 4 + t / 4;
                if (x < width && y < height)
                    std::copy_n(texels[t], 4,
                                result.begin() + (static_cast<std::ptrdiff_t>(y) * width + x) * 4);
            }
        }
    }
    return result;
}

} // namespace

void GenerateMipChain(TextureImage& image) {
    const int count = FullMipChainLength(image.width, image.height);
    std::vector<std::vector<std::uint8_t>> levels;
    levels.reserve(static_cast<std::size_t>(image.faces) * count);
    for (int face = 0; face < image.faces; ++face) {
        levels.push_back(image.Level(face, 0));
        for (int level = 1; level < count; ++level)
            levels.push_back(Downsample(levels.back(), image.LevelWidth(level - 1),
                                        image.LevelHeight(level - 1)));
    }
    image.levels = std::move(levels);
    image.levelCount = count;
}

TextureImage Decompress(const TextureImage& image) {
    TextureImage result = image;
    result.format = Format::A8R8G8B8;
    for (int face = 0; face < image.faces; ++face)
        for (int level = 0; level < image.levelCount; ++level)
            result.levels[face * image.levelCount + level] =
                DecompressLevel(image.format, image.Level(face, level), image.LevelWidth(level),
                                image.LevelHeight(level));
    return result;
}

} // namespace engine::core::resources
