// Writes "data/default.dds", the texture the engine binds where an effect
// names none: a 64 x 64 checker of two greys, A8R8G8B8 with its whole mip
// chain, so that a missing texture is visible but not garish.
#include "engine/core/textureImage.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using engine::core::resources::GenerateMipChain;
using engine::core::resources::TextureImage;

namespace {

constexpr int kEdge = 64;
constexpr int kCell = 8;
constexpr std::uint32_t kDark = 0xFF606060;
constexpr std::uint32_t kLight = 0xFFA0A0A0;

void Put32(std::ofstream& out, std::uint32_t value) {
    const char bytes[4] = {char(value & 0xFF), char((value >> 8) & 0xFF),
                           char((value >> 16) & 0xFF), char(value >> 24)};
    out.write(bytes, 4);
}

void WriteHeader(std::ofstream& out, const TextureImage& image) {
    out.write("DDS ", 4);
    Put32(out, 124);
    Put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | 0x8 |
                   0x20000); // caps, height, width, pixel format, pitch, mips
    Put32(out, std::uint32_t(image.height));
    Put32(out, std::uint32_t(image.width));
    Put32(out, std::uint32_t(image.width) * 4);
    Put32(out, 0);
    Put32(out, std::uint32_t(image.levelCount));
    for (int i = 0; i < 11; ++i)
        Put32(out, 0);
    Put32(out, 32);   // pixel format size
    Put32(out, 0x41); // RGB with alpha
    Put32(out, 0);
    Put32(out, 32);
    Put32(out, 0x00FF0000);
    Put32(out, 0x0000FF00);
    Put32(out, 0x000000FF);
    Put32(out, 0xFF000000);
    Put32(out, 0x1000 | 0x8 | 0x400000); // texture, complex, mipmap
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path path = argc > 1 ? argv[1] : "data/default.dds";
    TextureImage image;
    image.format = engine::platform::Format::A8R8G8B8;
    image.width = image.height = kEdge;
    std::vector<std::uint8_t> texels;
    for (int y = 0; y < kEdge; ++y)
        for (int x = 0; x < kEdge; ++x)
            for (int shift = 0; shift < 32; shift += 8)
                texels.push_back(
                    std::uint8_t((((x / kCell + y / kCell) % 2) ? kLight : kDark) >> shift));
    image.levels.push_back(std::move(texels));
    GenerateMipChain(image);

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    WriteHeader(out, image);
    for (const auto& level : image.levels)
        out.write(reinterpret_cast<const char*>(level.data()), std::streamsize(level.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
        return 1;
    }
    return 0;
}
