#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kovra::test {

// Assembles DDS files byte by byte, so tests control every header field.
struct DdsHeader {
    std::uint32_t width = 4;
    std::uint32_t height = 4;
    std::uint32_t mipCount = 0;      // written with the mip-count flag when non-zero
    std::uint32_t pixelFlags = 0x41; // RGB with alpha
    std::uint32_t fourCC = 0;
    std::uint32_t bitCount = 32;
    std::uint32_t masks[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}; // R, G, B, A
    std::uint32_t caps2 = 0;
};

constexpr std::uint32_t kFourCCDxt1 = 0x31545844;
constexpr std::uint32_t kCubeAllFaces = 0xFE00;

inline void Put32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline std::string DdsFile(const DdsHeader& h, const std::string& data) {
    std::string out = "DDS ";
    Put32(out, 124);
    Put32(out, 0x1007 | (h.mipCount ? 0x20000u : 0u)); // caps, height, width, pixel format
    Put32(out, h.height);
    Put32(out, h.width);
    Put32(out, 0); // pitch
    Put32(out, 0); // depth
    Put32(out, h.mipCount);
    for (int i = 0; i < 11; ++i)
        Put32(out, 0);
    Put32(out, 32);
    Put32(out, h.fourCC ? 0x4 : h.pixelFlags);
    Put32(out, h.fourCC);
    Put32(out, h.fourCC ? 0 : h.bitCount);
    for (std::uint32_t mask : h.masks)
        Put32(out, h.fourCC ? 0 : mask);
    Put32(out, 0x1000 | (h.mipCount ? 0x400008u : 0u) | (h.caps2 ? 0x8u : 0u));
    Put32(out, h.caps2);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    return out + data;
}

// `count` texels of one 32-bit value, little-endian.
inline std::string Texels(std::uint32_t argb, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i)
        Put32(out, argb);
    return out;
}

inline std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

} // namespace kovra::test
