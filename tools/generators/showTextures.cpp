#include "tools/generators/showTextures.h"

namespace kovra::tools {

const std::vector<TextureRecipe>& ShowTextures() {
    static const std::vector<TextureRecipe> recipes = {
        {"sand", 512, 512, MakeSand},   {"grass", 512, 512, MakeGrass},
        {"rock", 512, 512, MakeRock},   {"bark", 256, 512, MakeBark},
        {"leaf", 256, 256, MakeLeaf},   {"grassBlades", 256, 256, MakeGrassBlades},
        {"sky", 512, 256, MakeSky},     {"waterNormals", 256, 256, MakeWaterNormals},
        {"noise", 256, 256, MakeNoise},
    };
    return recipes;
}

TextureImage BuildTexture(const TextureRecipe& recipe, int width, int height) {
    TextureImage image = recipe.generate(width, height);
    engine::core::resources::GenerateMipChain(image);
    return image;
}

} // namespace kovra::tools
