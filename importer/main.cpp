// kovra-import SCENE.gltf|SCENE.glb SHOWDIR: a glTF 2.0 scene as a show folder.
#include "importer/gltfShow.h"

#include <iostream>
#include <stdexcept>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: kovra-import SCENE.gltf|SCENE.glb SHOWDIR\n";
        return 1;
    }
    try {
        kovra::importer::ImportGltf(argv[1], argv[2], std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "kovra-import: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
