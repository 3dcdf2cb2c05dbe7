#include "tools/generators/showTextures.h"

#include <algorithm>
#include <cmath>

namespace kovra::tools {

namespace {

double Coverage(const std::vector<std::uint8_t>& texels, double scale) {
    std::size_t covered = 0;
    for (std::size_t i = 3; i < texels.size(); i += 4)
        covered += texels[i] * scale >= kAlphaCutoff;
    return static_cast<double>(covered) / static_cast<double>(texels.size() / 4);
}

void PreserveCoverage(TextureImage& image) {
    const double target = Coverage(image.levels[0], 1.0);
    for (std::size_t level = 1; level < image.levels.size(); ++level) {
        std::vector<std::uint8_t>& texels = image.levels[level];
        // Coverage grows with the scale: bisect for the one that matches.
        double low = 0.0, high = 8.0;
        for (int step = 0; step < 24; ++step) {
            const double middle = 0.5 * (low + high);
            (Coverage(texels, middle) < target ? low : high) = middle;
        }
        for (std::size_t i = 3; i < texels.size(); i += 4)
            texels[i] = static_cast<std::uint8_t>(std::min(255.0, std::round(texels[i] * high)));
    }
}

} // namespace

const std::vector<TextureRecipe>& ShowTextures() {
    static const std::vector<TextureRecipe> recipes = {
        {"sand", 512, 512, MakeSand},       {"grass", 512, 512, MakeGrass},
        {"rock", 512, 512, MakeRock},       {"bark", 256, 512, MakeBark},
        {"leaf", 256, 256, MakeLeaf, true}, {"grassBlades", 256, 256, MakeGrassBlades, true},
        {"sky", 512, 256, MakeSky},         {"waterNormals", 256, 256, MakeWaterNormals},
        {"noise", 256, 256, MakeNoise},
    };
    return recipes;
}

TextureImage BuildTexture(const TextureRecipe& recipe, int width, int height) {
    TextureImage image = recipe.generate(width, height);
    engine::core::resources::GenerateMipChain(image);
    if (recipe.alphaTested)
        PreserveCoverage(image);
    return image;
}

} // namespace kovra::tools
