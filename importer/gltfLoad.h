#pragma once

#include <tiny_gltf.h>

#include <filesystem>
#include <string>

namespace kovra::importer {

// Reads glTF from its bytes, binary (".glb") when they start with its magic,
// else JSON; external buffers and images are looked for in `folder`. Images
// are not decoded: the importer only names them. Throws std::runtime_error
// "NAME: ..." with the reader's error on one line.
tinygltf::Model ParseGltf(const std::string& bytes, const std::string& name,
                          const std::string& folder);

// The file read and parsed as above, its folder the one for its buffers.
tinygltf::Model LoadGltf(const std::filesystem::path& path);

} // namespace kovra::importer
