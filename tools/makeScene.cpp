// Writes the show's scene into a data folder (default "data"): "tree.demo",
// the meshes and the Beast's walk in "tree.demo_scene/", and the camera
// schedule "camera.txt".
#include "tools/generators/fileWriter.h"
#include "tools/generators/showScene.h"

#include <filesystem>

int main(int argc, char** argv) {
    using namespace kovra::tools;
    const std::filesystem::path folder = argc > 1 ? argv[1] : "data";
    for (const ShowFile& file : ShowSceneFiles()) {
        const std::filesystem::path path = folder / file.path;
        std::filesystem::create_directories(path.parent_path());
        if (!WriteBytes(path, std::vector<std::uint8_t>(file.bytes.begin(), file.bytes.end())))
            return 1;
    }
    return 0;
}
