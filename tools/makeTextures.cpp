// Writes the show's procedural textures as "<folder>/<name>.dds" (default
// folder "data/textures"): A8R8G8B8 with their whole mip chains.
#include "tools/generators/ddsWriter.h"
#include "tools/generators/fileWriter.h"
#include "tools/generators/showTextures.h"

#include <filesystem>

int main(int argc, char** argv) {
    using namespace kovra::tools;
    const std::filesystem::path folder = argc > 1 ? argv[1] : "data/textures";
    std::filesystem::create_directories(folder);
    for (const TextureRecipe& recipe : ShowTextures()) {
        const TextureImage image = BuildTexture(recipe, recipe.width, recipe.height);
        if (!WriteBytes(folder / (recipe.name + ".dds"), EncodeDds(image)))
            return 1;
    }
    return 0;
}
