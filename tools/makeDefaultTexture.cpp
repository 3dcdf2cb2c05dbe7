// Writes "data/default.dds", the texture the engine binds where an effect
// names none: a 64 x 64 checker of two greys, A8R8G8B8 with its whole mip
// chain, so that a missing texture is visible but not garish.
#include "tools/generators/ddsWriter.h"
#include "tools/generators/fileWriter.h"

#include <cstdint>
#include <filesystem>

using engine::core::resources::GenerateMipChain;
using engine::core::resources::TextureImage;

namespace {

constexpr int kEdge = 64;
constexpr int kCell = 8;
constexpr std::uint32_t kDark = 0xFF606060;
constexpr std::uint32_t kLight = 0xFFA0A0A0;

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
    return kovra::tools::WriteBytes(path, kovra::tools::EncodeDds(image)) ? 0 : 1;
}
