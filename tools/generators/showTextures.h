#pragma once

#include "engine/core/textureImage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kovra::tools {

using engine::core::resources::TextureImage;

// Level 0 of one procedural texture at the given size; every generator is a
// pure function of its size.
using TextureGenerator = TextureImage (*)(int width, int height);

// Ground materials the terrain blends; they tile.
TextureImage MakeSand(int width, int height);
TextureImage MakeGrass(int width, int height);
TextureImage MakeRock(int width, int height);
// Furrowed bark, tiling, stretched along v (up the trunk).
TextureImage MakeBark(int width, int height);
// Alpha-tested cut-outs: a cluster of leaves on a twig, a tuft of blades.
TextureImage MakeLeaf(int width, int height);
TextureImage MakeGrassBlades(int width, int height);
// Zenith at the top row, horizon at the bottom, clouds; tiles across u.
TextureImage MakeSky(int width, int height);
// A tiling normal map of small waves (RGB = normal * 0.5 + 0.5, A = height).
TextureImage MakeWaterNormals(int width, int height);
// Four independent tiling fractal noises, one per channel.
TextureImage MakeNoise(int width, int height);

struct TextureRecipe {
    std::string name; // file name below "data/textures/", without ".dds"
    int width;
    int height;
    TextureGenerator generate;
    bool alphaTested = false; // drawn where alpha >= kAlphaCutoff
};

// The alpha test the cut-outs are made for.
constexpr std::uint8_t kAlphaCutoff = 128;

// Every texture of the show, at the size it is shipped in.
const std::vector<TextureRecipe>& ShowTextures();

// The recipe's image at the given size with its whole mip chain. Averaging
// alpha thins alpha-tested shapes level by level until they vanish in the
// distance, so for those each level's alpha is rescaled to cover as many
// texels as level 0 does.
TextureImage BuildTexture(const TextureRecipe& recipe, int width, int height);

} // namespace kovra::tools
