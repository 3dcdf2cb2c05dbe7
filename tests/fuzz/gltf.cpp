// Reads any bytes as a glTF file and, when that succeeds, makes the show's
// scene files from it as kovra-import does: no input may crash, hang or
// allocate without bound. External buffers are looked for in an empty folder.
#include "fuzz/fuzzSupport.h"

#include "importer/gltfLoad.h"
#include "importer/gltfShow.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kovra::fuzz::EnterScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const tinygltf::Model model = kovra::importer::ParseGltf(
            std::string(reinterpret_cast<const char*>(data), size), "fuzz.gltf", ".");
        std::ostringstream warnings;
        kovra::importer::SceneFiles(model, "fuzz.gltf", warnings);
    } catch (const std::runtime_error&) {
    }
    return 0;
}
