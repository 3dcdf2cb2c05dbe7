#pragma once

#include "engine/core/fuzzingBuild.h"
#include "engine/platform/deviceTypes.h"

#include <cstdint>
#include <vector>

namespace engine::core::resources {

// Limits on images read from files: anything larger is treated as corrupt
// before memory for it is reserved.
constexpr int kMaxTextureEdge = 16384;
// 8192 x 8192; 128 x 128 for the fuzzer, which would otherwise spend its
// time decoding and mipmapping the largest images.
constexpr std::uint64_t kMaxTextureTexels = std::uint64_t{1} << (kFuzzingBuild ? 14 : 26);

// A decoded texture in memory, ready to be copied into a device texture:
// A8R8G8B8, X8R8G8B8 (bytes B, G, R, A) or DXT1/3/5 blocks. Rows are tightly
// packed, top row first. `levels` holds faces one after another, each face
// with its whole mip chain.
struct TextureImage {
    platform::Format format = platform::Format::Unknown;
    int width = 0;
    int height = 0;
    int faces = 1; // 1 or 6 (a cube, faces in CubeFace order)
    int levelCount = 1;
    std::vector<std::vector<std::uint8_t>> levels;

    const std::vector<std::uint8_t>& Level(int face, int level) const {
        return levels[face * levelCount + level];
    }
    int LevelWidth(int level) const { return width >> level > 0 ? width >> level : 1; }
    int LevelHeight(int level) const { return height >> level > 0 ? height >> level : 1; }
};

// Levels from width x height down to 1 x 1.
int FullMipChainLength(int width, int height);

// Replaces the levels below level 0 of every face by a box-filtered chain
// down to 1 x 1. Only for the 32-bit formats.
void GenerateMipChain(TextureImage& image);

// The same image in A8R8G8B8, for devices that cannot sample DXT blocks.
TextureImage Decompress(const TextureImage& image);

} // namespace engine::core::resources
