#include "tools/generators/ddsWriter.h"

namespace kovra::tools {

namespace {

// DDS_HEADER flags and caps.
constexpr std::uint32_t kFlagsCapsHeightWidthPixelFormat = 0x1 | 0x2 | 0x4 | 0x1000;
constexpr std::uint32_t kFlagPitch = 0x8;
constexpr std::uint32_t kFlagMipMapCount = 0x20000;
constexpr std::uint32_t kPixelRgbWithAlpha = 0x40 | 0x1;
constexpr std::uint32_t kCapsTexture = 0x1000;
constexpr std::uint32_t kCapsComplexMipMap = 0x8 | 0x400000;

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

} // namespace

std::vector<std::uint8_t> EncodeDds(const engine::core::resources::TextureImage& image) {
    const bool mips = image.levelCount > 1;
    std::vector<std::uint8_t> out{'D', 'D', 'S', ' '};
    Put32(out, 124);
    Put32(out, kFlagsCapsHeightWidthPixelFormat | kFlagPitch | (mips ? kFlagMipMapCount : 0));
    Put32(out, static_cast<std::uint32_t>(image.height));
    Put32(out, static_cast<std::uint32_t>(image.width));
    Put32(out, static_cast<std::uint32_t>(image.width) * 4); // pitch
    Put32(out, 0);                                           // depth
    Put32(out, static_cast<std::uint32_t>(image.levelCount));
    for (int i = 0; i < 11; ++i)
        Put32(out, 0);
    Put32(out, 32); // pixel format size
    Put32(out, kPixelRgbWithAlpha);
    Put32(out, 0); // no FourCC
    Put32(out, 32);
    Put32(out, 0x00FF0000);
    Put32(out, 0x0000FF00);
    Put32(out, 0x000000FF);
    Put32(out, 0xFF000000);
    Put32(out, kCapsTexture | (mips ? kCapsComplexMipMap : 0));
    for (int i = 0; i < 4; ++i)
        Put32(out, 0); // caps2..4, reserved
    for (const auto& level : image.levels)
        out.insert(out.end(), level.begin(), level.end());
    return out;
}

} // namespace kovra::tools
